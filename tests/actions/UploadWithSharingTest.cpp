#include "DocumentChangesFixture.h"
#include "TransferFixture.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "model/TQACLEntry.h"
#include "support/SyncRecorder.h"

namespace tavrel::test {

namespace {

const QString kAccessListBatch = QStringLiteral("^/feeds/default/private/full/[^/]+/acl/batch");

QVariant people(const QString& address, qint32 role)
{
    return QVariantList{QVariant::fromValue(TQACLEntry(TQACLEntry::User, role, address))};
}

QVariant anyoneWithTheLink(const QString& owner)
{
    auto permission = GeneralACLPermissionAdapter::generalACLPermissionAdapterWithUsername(owner);
    permission->setType(QStringLiteral("default"));
    permission->setRole(QStringLiteral("reader"));
    permission->setHasLink(true);
    return QVariant::fromValue(permission);
}

} // namespace

// Uploads that share the new document, through the access-list actions against the local service. The
// store is synchronised first: re-reading a shared document goes through the list's batch address.
class UploadWithSharingTest : public TransferTest
{
protected:
    void SetUp() override
    {
        TransferTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        SyncRecorder recorder;
        ASSERT_TRUE(m_account.runFull(recorder));
        ASSERT_TRUE(recorder.error.isNull()) << recorder.error.localizedDescription().toStdString();
        m_account.service.clearJournal();
    }

    QVariantMap uploadParameters(const QString& name)
    {
        return {{QStringLiteral("fileURL"), QUrl::fromLocalFile(writeFile(name, "shared bytes"))}};
    }

    // Requests made to access lists since the set-up.
    int accessListRequests() const
    {
        int count = 0;
        for (const auto& entry : m_account.service.journal())
            count += entry.path.contains(QStringLiteral("/acl")) ? 1 : 0;
        return count;
    }

    QString resourceIdOf(const QVariant& result) const
    {
        const auto record = std::dynamic_pointer_cast<FileEntryAbstract>(result.value<ManagedObjectPtr>());
        return record ? record->resourceId() : QString();
    }
};

TEST_F(UploadWithSharingTest, TheUploadedDocumentArrivesSharedAndItsRecordIsAnswered)
{
    struct Row
    {
        const char* name;
        QString key;
        QVariant value;
        QString onService;
    };
    const QList<Row> rows = {
        {"WithPeople", QStringLiteral("ACLEntries"),
         people(QStringLiteral("carl@example.org"), TQACLEntry::Writer),
         QStringLiteral("carl@example.org=writer")},
        {"WithGeneralAccess", QStringLiteral("generalACLPermission"), anyoneWithTheLink(m_account.address()),
         QStringLiteral("default=reader")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString title = QString::fromLatin1(row.name) + QStringLiteral(".txt");
        QVariantMap parameters = uploadParameters(title);
        parameters.insert(row.key, row.value);
        ActionRequester requester;
        ASSERT_TRUE(runAction(QStringLiteral("UploadFile"), requester, parameters, 20000));
        ASSERT_TRUE(requester.error().isNull()) << requester.error().description().toStdString();

        const auto uploaded = serviceDocumentTitled(title);
        ASSERT_FALSE(uploaded.resourceId.isEmpty());
        EXPECT_EQ(uploaded.content, QByteArray("shared bytes"));
        EXPECT_EQ(resourceIdOf(requester.result()), uploaded.resourceId);
        const QStringList list = accessListOnService(m_account.service, uploaded.resourceId);
        EXPECT_TRUE(list.contains(row.onService)) << list.join(' ').toStdString();
    }
}

TEST_F(UploadWithSharingTest, AFailureAnswersTheErrorAndKeepsWhatTheFormOfSharingPromises)
{
    struct Row
    {
        const char* name;
        localservice::Fault fault;
        bool general;
        bool uploaded;     // the document is on the service
        bool sharingAsked; // an access list was read or written
        bool recordKept;   // the requester receives the uploaded record
    };
    const localservice::Fault refusedUpload{localservice::Fault::Status, QStringLiteral("POST"),
                                            QStringLiteral("^/feeds/upload/create-session/"), 1, 403};
    const localservice::Fault refusedSharing{localservice::Fault::Status, QStringLiteral("POST"),
                                             kAccessListBatch, 1, 403};
    const QList<Row> rows = {
        {"UploadRefusedPeople", refusedUpload, false, false, false, false},
        {"UploadRefusedGeneral", refusedUpload, true, false, false, false},
        // The entry stays on the service, unshared.
        {"SharingRefusedPeople", refusedSharing, false, true, true, false},
        {"SharingRefusedGeneral", refusedSharing, true, true, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_account.service.clearJournal();
        m_account.service.addFault(row.fault);
        const QString title = QString::fromLatin1(row.name) + QStringLiteral(".txt");
        QVariantMap parameters = uploadParameters(title);
        if (row.general)
            parameters.insert(QStringLiteral("generalACLPermission"), anyoneWithTheLink(m_account.address()));
        else
            parameters.insert(QStringLiteral("ACLEntries"),
                              people(QStringLiteral("dora@example.org"), TQACLEntry::Reader));
        ActionRequester requester;
        ASSERT_TRUE(runAction(QStringLiteral("UploadFile"), requester, parameters, 20000));
        m_account.service.clearFaults();

        EXPECT_FALSE(requester.error().isNull());
        const auto uploaded = serviceDocumentTitled(title);
        EXPECT_EQ(!uploaded.resourceId.isEmpty(), row.uploaded);
        EXPECT_EQ(accessListRequests() > 0, row.sharingAsked);
        EXPECT_EQ(resourceIdOf(requester.result()), row.recordKept ? uploaded.resourceId : QString());
        if (row.uploaded) {
            const QStringList list = accessListOnService(m_account.service, uploaded.resourceId);
            EXPECT_FALSE(list.contains(QStringLiteral("dora@example.org=reader")));
            EXPECT_FALSE(list.contains(QStringLiteral("default=reader")));
        }
    }
}

} // namespace tavrel::test
