#include "DocumentChangesFixture.h"
#include "actions/dmhRemovePermissionHandler.h"
#include "model/Mail.h"
#include "pipeline/VUvodozuManager.h"

namespace tavrel::test {

using RemovePermissionsTest = DocumentChangesTest;

TEST_F(RemovePermissionsTest, RemovesByTheCurrentListInAnyLetterCase)
{
    struct Row
    {
        const char* name;
        QString document;
        QString given;        // the address as the caller gives it
        QString removed;      // the rule the service must lose
        bool sharedElsewhere; // granted on the service after the store was filled
    };
    const QList<Row> rows = {
        {"StoredAddress", QStringLiteral("document:beta"), QStringLiteral("ann@example.org"),
         QStringLiteral("ann@example.org"), false},
        {"OtherLetterCase", QStringLiteral("document:alpha"), QStringLiteral("ANN@Example.org"),
         QStringLiteral("ann@example.org"), false},
        {"NotYetInTheStore", QStringLiteral("document:beta"), QStringLiteral("fred@example.org"),
         QStringLiteral("fred@example.org"), true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.sharedElsewhere) {
            ASSERT_TRUE(m_account.service.shareDocument(row.document, row.removed, QStringLiteral("writer")));
        }
        m_account.service.clearJournal();
        ActionRequester requester;
        ASSERT_TRUE(runAction(QStringLiteral("RemovePermission"), requester,
                              {{QStringLiteral("documentEntity"), recordValue(row.document)},
                               {QStringLiteral("mailAddress"), row.given}}));
        ASSERT_TRUE(requester.error().isNull()) << requester.error().localizedDescription().toStdString();
        const QVariantMap result = requester.result().toMap();
        EXPECT_EQ(result.value(QStringLiteral("mailAddress")).toString(), row.given);
        EXPECT_EQ(result.value(QStringLiteral("documentEntity")).value<ManagedObjectPtr>(),
                  std::static_pointer_cast<ManagedObject>(record(row.document)));
        const QStringList lines = requestLines();
        ASSERT_EQ(lines.size(), 3) << lines.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(lines.at(0),
                  QStringLiteral("GET /feeds/default/private/full/") + row.document + QStringLiteral("/acl"));
        EXPECT_EQ(lines.at(1), QStringLiteral("DELETE /feeds/default/private/full/") + row.document +
                                   QStringLiteral("/acl/user:") + row.removed);
        EXPECT_EQ(journal().at(1).headers.value(QStringLiteral("if-match")), QStringLiteral("*"));
        EXPECT_EQ(lines.at(2), QStringLiteral("POST /feeds/default/private/expandAcl/batch"));
        for (const QString& rule : serviceAccessList(row.document))
            EXPECT_FALSE(rule.startsWith(row.removed)) << rule.toStdString();
    }
}

TEST_F(RemovePermissionsTest, AnAddressOnNoListIsItsOwnErrorAndNothingIsDeleted)
{
    const QStringList before = serviceAccessList(QStringLiteral("document:beta"));
    ActionRequester requester;
    ASSERT_TRUE(runAction(QStringLiteral("RemovePermission"), requester,
                          {{QStringLiteral("documentEntity"), recordValue(QStringLiteral("document:beta"))},
                           {QStringLiteral("mailAddress"), QStringLiteral("nobody@example.org")}}));
    EXPECT_EQ(requester.error().domain(), VUvodozuManager::kErrorDomain);
    EXPECT_EQ(requester.error().code(), dmhRemovePermissionHandler::kPermissionNotFoundErrorCode);
    EXPECT_TRUE(requester.error().localizedDescription().contains(QStringLiteral("nobody@example.org")));
    for (const QString& line : requestLines())
        EXPECT_FALSE(line.startsWith(QStringLiteral("DELETE"))) << line.toStdString();
    EXPECT_EQ(serviceAccessList(QStringLiteral("document:beta")), before);
}

TEST_F(RemovePermissionsTest, SeveralAddressesOnSeveralDocumentsGoAddressByAddress)
{
    ASSERT_TRUE(m_account.service.shareDocument(QStringLiteral("document:alpha"),
                                                QStringLiteral("gus@example.org"), QStringLiteral("reader")));
    ASSERT_TRUE(m_account.service.shareDocument(QStringLiteral("document:beta"),
                                                QStringLiteral("gus@example.org"), QStringLiteral("reader")));
    m_account.service.clearJournal();
    ActionRequester requester;
    ASSERT_TRUE(
        runAction(QStringLiteral("RemovePermissions"), requester,
                  {{QStringLiteral("documentEntities"),
                    recordValues({QStringLiteral("document:alpha"), QStringLiteral("document:beta")})},
                   {QStringLiteral("mailAddresses"),
                    QStringList{QStringLiteral("ann@example.org"), QStringLiteral("gus@example.org")}}}));
    ASSERT_TRUE(requester.error().isNull()) << requester.error().localizedDescription().toStdString();
    EXPECT_EQ(requester.result().toList().size(), 4) << "the refreshed records of the four removals";
    QStringList deletions;
    for (const QString& line : requestLines())
        if (line.startsWith(QStringLiteral("DELETE")))
            deletions.append(line.section(QStringLiteral("/full/"), 1));
    EXPECT_EQ(deletions, (QStringList{QStringLiteral("document:alpha/acl/user:ann@example.org"),
                                      QStringLiteral("document:beta/acl/user:ann@example.org"),
                                      QStringLiteral("document:alpha/acl/user:gus@example.org"),
                                      QStringLiteral("document:beta/acl/user:gus@example.org")}));
}

TEST_F(RemovePermissionsTest, AReaderCannotTakeAccessAwayAndTheStoreStaysAsItWas)
{
    const auto stored = record(QStringLiteral("document:readonly"));
    const qsizetype editorsBefore = stored->editors().size();
    ActionRequester requester;
    ASSERT_TRUE(
        runAction(QStringLiteral("RemovePermissions"), requester,
                  {{QStringLiteral("documentEntities"), recordValues({QStringLiteral("document:readonly")})},
                   {QStringLiteral("mailAddresses"), QStringList{QStringLiteral("ann@example.org")}}}));
    EXPECT_EQ(requester.error().code(), VUvodozuManager::kUnexpectedErrorCode);
    EXPECT_TRUE(requester.result().toList().isEmpty());
    EXPECT_TRUE(serviceAccessList(QStringLiteral("document:readonly"))
                    .contains(QStringLiteral("ann@example.org=writer")));
    EXPECT_EQ(record(QStringLiteral("document:readonly"))->editors().size(), editorsBefore);
    const QList<localservice::JournalEntry> sent = journal();
    ASSERT_GE(sent.size(), 2);
    EXPECT_EQ(sent.at(1).method, QStringLiteral("DELETE"));
    EXPECT_EQ(sent.at(1).status, 403);
}

} // namespace tavrel::test
