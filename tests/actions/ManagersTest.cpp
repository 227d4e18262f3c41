#include "ActionsFixture.h"
#include "actions/dmhRenameDocument.h"
#include "actions/gddmhRenameDocument.h"
#include "model/TQMOCMaster.h"
#include "pipeline/TQSessionContexts.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataEntryFileDoc.h"
#include "support/WaitUntil.h"

namespace tavrel::test {

namespace {

// Records the upload progress it is sent.
class ProgressRecorder : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void actionDidProgress(const QString& progressID, const QVariantMap& arguments, quint64 part,
                                       quint64 total)
    {
        Q_UNUSED(arguments);
        ids.append(progressID);
        parts.append(part);
        totals.append(total);
    }
    QStringList ids;
    QList<quint64> parts;
    QList<quint64> totals;
};

// A session of an account without an authentication (signed out): a store, queues and managers of its
// own, and no service.
class SignedOutSession : public TQSessionProtocol
{
public:
    explicit SignedOutSession(const QString& username)
    {
        m_account.setProperty("username", username);
        m_mocManager = TQMOCManager::mocManagerWithSession(&m_account);
        m_queueManager = std::make_unique<TQQueueManager>(this);
        m_documentManager = DocumentManager::managerWithSession(this);
        m_contactManager = ContactManager::managerWithSession(this);
    }
    // The queues go first (they wait for running operations), then the managers, then the store.
    ~SignedOutSession() override
    {
        m_queueManager.reset();
        m_documentManager.reset();
        m_contactManager.reset();
        m_mocManager.reset();
    }

    TQQueueManager* queueManager() const override { return m_queueManager.get(); }
    TQMOCManager* mocManager() const override { return m_mocManager.get(); }
    DocumentManager* documentManager() const override { return m_documentManager.get(); }
    ContactManager* contactManager() const override { return m_contactManager.get(); }
    QVariant managedObjectContextForCurrentThread() override
    {
        return TQSessionContexts::managedObjectContextForCurrentThread(m_mocManager.get());
    }
    QVariant masterManagedObjectContext() override
    {
        return TQSessionContexts::masterManagedObjectContext(m_mocManager.get());
    }
    bool isManagedObjectContext(const QVariant& value) const override
    {
        return TQSessionContexts::isManagedObjectContext(value);
    }
    QVariant fetchEntitiesFromObject(const QVariant& context, const QVariant& object,
                                     QVariant* detectedSource = nullptr) override
    {
        return TQSessionContexts::fetchEntitiesFromObject(context, object, detectedSource);
    }

private:
    QObject m_account; // carries "username", which names the store's folder
    std::unique_ptr<TQMOCManager> m_mocManager;
    std::unique_ptr<TQQueueManager> m_queueManager;
    std::unique_ptr<DocumentManager> m_documentManager;
    std::unique_ptr<ContactManager> m_contactManager;
};

} // namespace

using ManagersTest = ActionsTest;

TEST_F(ManagersTest, EachManagerOwnsItsConfiguredServiceAndResolvesItsHandlers)
{
    DocumentManager* documentManager = m_account.session->documentManager();
    ContactManager* contactManager = m_account.session->contactManager();
    EXPECT_EQ(documentManager->handlerPrefix(), QStringLiteral("dmh"));
    EXPECT_EQ(contactManager->handlerPrefix(), QStringLiteral("cmh"));
    EXPECT_EQ(documentManager->gdataManager()->handlerPrefix(), QStringLiteral("gddmh"));
    EXPECT_EQ(contactManager->gdataManager()->handlerPrefix(), QStringLiteral("gdcmh"));

    const std::vector<GDataServiceBase*> services{documentManager->gdataManager()->service(),
                                                  contactManager->gdataManager()->service()};
    for (GDataServiceBase* service : services) {
        ASSERT_TRUE(service);
        EXPECT_TRUE(service->shouldCacheResponseData());
        EXPECT_TRUE(service->serviceShouldFollowNextLinks());
        EXPECT_TRUE(service->isServiceRetryEnabled());
        EXPECT_EQ(service->authorizer(), std::static_pointer_cast<GDataAuthorizer>(m_account.authentication));
    }

    EXPECT_EQ(documentManager->masterMOC(), master());
    EXPECT_EQ(documentManager->masterMOCUpdater(), master()->updater());

    EXPECT_TRUE(std::dynamic_pointer_cast<dmhRenameDocument>(
        documentManager->handlerByActionName(QStringLiteral("RenameDocument"))));
    EXPECT_TRUE(std::dynamic_pointer_cast<gddmhRenameDocument>(
        documentManager->gdataManager()->handlerByActionName(QStringLiteral("RenameDocument"))));
    // Document actions are not contact actions.
    EXPECT_FALSE(contactManager->handlerByActionName(QStringLiteral("RenameDocument")));
}

TEST_F(ManagersTest, WithoutAnAuthenticationThereIsNoServiceAndActionsAnswerAnError)
{
    EXPECT_FALSE(GDataDocumentManager::gdataManagerWithAuthentication(nullptr));
    EXPECT_FALSE(GDataContactManager::gdataManagerWithAuthentication(nullptr));
    EXPECT_FALSE(DocumentManager::managerWithSession(nullptr));

    // A second account folder, so the two stores do not meet.
    SignedOutSession signedOut(QStringLiteral("nobody@tavrel.test"));
    EXPECT_FALSE(signedOut.documentManager()->gdataManager());
    EXPECT_FALSE(signedOut.contactManager()->gdataManager());

    TQMOCMaster* otherMaster = signedOut.mocManager()->masterMOC();
    const auto document = otherMaster->insertNewObject<FileEntryAbstract>(QStringLiteral("File"));
    document->fillAttributeFromGDataEntry(record(storedDocumentIds().first())->gdataEntry());
    otherMaster->save();
    ActionRequester requester;
    signedOut.documentManager()->executeAction(
        QStringLiteral("RenameDocument"), requester.callback(),
        {{QStringLiteral("newName"), QStringLiteral("x")},
         {QStringLiteral("documentEntity"), QVariant::fromValue<ManagedObjectPtr>(document)}});
    ASSERT_TRUE(waitUntil([&] { return requester.calls() == 1; }, 10000));
    EXPECT_EQ(requester.error().code(), VUvodozuManager::kUnexpectedErrorCode);
    EXPECT_TRUE(m_account.service.journal().isEmpty());
}

struct ProgressRow
{
    const char* name;
    bool withProgressID;
    bool responder;
    bool expectProgress;
};

class UploadProgressTest : public ActionsTest, public ::testing::WithParamInterface<ProgressRow>
{
};

TEST_P(UploadProgressTest, ReachesTheConsumerOnlyWithAnIdentifierAndAResponder)
{
    const ProgressRow& row = GetParam();
    GDataServiceGoogleDocs* service = m_account.session->documentManager()->gdataManager()->service();
    service->setServiceUploadChunkSize(1000);
    ProgressRecorder recorder;
    QObject silent;
    QVariantMap parameter{
        {QStringLiteral("progressConsumer"),
         QVariant::fromValue<QObject*>(row.responder ? static_cast<QObject*>(&recorder) : &silent)}};
    if (row.withProgressID)
        parameter.insert(QStringLiteral("progressID"), QStringLiteral("upload_7"));

    auto entry = GDataEntryFileDoc::documentEntry();
    entry->setTitleWithString(QStringLiteral("notes.txt"));
    entry->setUploadData(QByteArray(3000, 'x'));
    entry->setUploadMIMEType(QStringLiteral("text/plain"));
    entry->setUploadSlug(QStringLiteral("notes.txt"));
    bool done = false;
    Error failure;
    const GDataServiceTicketPtr ticket = service->fetchEntryByInsertingEntry(
        entry, GDataEndpoints::docsUploadURL(),
        [&](const GDataServiceTicketPtr&, const GDataObjectPtr&, const Error& error) {
            failure = error;
            done = true;
        });
    ASSERT_TRUE(ticket);
    ticket->setProperty(QStringLiteral("parameter"), parameter);
    ASSERT_TRUE(waitUntil([&] { return done; }, 10000));
    ASSERT_TRUE(failure.isNull()) << failure.localizedDescription().toStdString();

    if (!row.expectProgress) {
        EXPECT_TRUE(recorder.ids.isEmpty());
        return;
    }
    ASSERT_FALSE(recorder.parts.isEmpty());
    EXPECT_EQ(recorder.ids.first(), QStringLiteral("upload_7"));
    EXPECT_EQ(recorder.parts.last(), 3000u);
    EXPECT_EQ(recorder.totals.last(), 3000u);
}

INSTANTIATE_TEST_SUITE_P(Relay, UploadProgressTest,
                         ::testing::Values(ProgressRow{"Sent", true, true, true},
                                           ProgressRow{"NoProgressID", false, true, false},
                                           ProgressRow{"ConsumerNotResponding", true, false, false}),
                         [](const ::testing::TestParamInfo<ProgressRow>& info) {
                             return std::string(info.param.name);
                         });

} // namespace tavrel::test

#include "ManagersTest.moc"
