#include "DocumentChangesFixture.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/gdata/GDataServiceGoogleDocs.h"

#include <QUrl>

namespace tavrel::test {

using FetchDocumentsTest = DocumentChangesTest;

TEST_F(FetchDocumentsTest, FetchDocumentQueriesTheEntryByItsAddressAndStoresIt)
{
    ASSERT_TRUE(
        m_account.service.renameDocument(QStringLiteral("document:alpha"), QStringLiteral("Renamed")));
    m_account.service.clearJournal();
    // A query names the entry by its own address, as the service reads queries.
    const QString address = record(QStringLiteral("document:alpha"))
                                ->gdataEntry()
                                ->linkWithRelAttributeValue(QStringLiteral("self"))
                                .href();
    ASSERT_FALSE(address.isEmpty());

    ActionRequester requester;
    ASSERT_TRUE(
        runAction(QStringLiteral("FetchDocument"), requester,
                  {{QStringLiteral("documentEntity"), recordValue(QStringLiteral("document:alpha"))}}));
    EXPECT_TRUE(requester.error().isNull()) << requester.error().localizedDescription().toStdString();
    EXPECT_EQ(requester.result().value<ManagedObjectPtr>(),
              std::static_pointer_cast<ManagedObject>(record(QStringLiteral("document:alpha"))));
    EXPECT_EQ(record(QStringLiteral("document:alpha"))->title(), QStringLiteral("Renamed"));

    ASSERT_EQ(requestLines(), QStringList{QStringLiteral("POST /feeds/default/private/expandAcl/batch")});
    const QString body = QString::fromUtf8(journal().first().body);
    EXPECT_EQ(body.count(QStringLiteral("<entry")), 1);
    EXPECT_TRUE(body.contains(QStringLiteral("<id>%1</id>").arg(address))) << body.toStdString();
    EXPECT_TRUE(body.contains(QStringLiteral("<batch:id>%1</batch:id>").arg(address)));
    EXPECT_TRUE(body.contains(QStringLiteral("type=\"query\"")) ||
                body.contains(QStringLiteral("type='query'")));
}

TEST_F(FetchDocumentsTest, FetchDocumentsQueriesRecordsAndEntriesInOrderInOneRequest)
{
    const auto gamma = record(QStringLiteral("spreadsheet:gamma"))->gdataEntry();
    QVariantList items = recordValues({QStringLiteral("document:beta")});
    items.append(QVariant::fromValue(GDataEntryPtr(gamma)));
    items.append(recordValue(QStringLiteral("document:alpha")));

    ActionRequester requester;
    ASSERT_TRUE(runAction(QStringLiteral("FetchDocuments"), requester,
                          {{QStringLiteral("documentEntities"), items}}));
    EXPECT_TRUE(requester.error().isNull());
    const QVariantList records = requester.result().toList();
    ASSERT_EQ(records.size(), 3);
    EXPECT_EQ(records.at(0).value<ManagedObjectPtr>(),
              std::static_pointer_cast<ManagedObject>(record(QStringLiteral("document:beta"))));
    EXPECT_EQ(records.at(2).value<ManagedObjectPtr>(),
              std::static_pointer_cast<ManagedObject>(record(QStringLiteral("document:alpha"))));
    ASSERT_EQ(journal().size(), 1);
    const QString body = QString::fromUtf8(journal().first().body);
    const qsizetype beta = body.indexOf(QStringLiteral("document%3Abeta"));
    const qsizetype gammaAt = body.indexOf(QStringLiteral("spreadsheet%3Agamma"));
    const qsizetype alpha = body.indexOf(QStringLiteral("document%3Aalpha"));
    EXPECT_TRUE(beta >= 0 && beta < gammaAt && gammaAt < alpha) << body.toStdString();
}

TEST_F(FetchDocumentsTest, BadParametersAreRefusedWithoutARequest)
{
    struct Row
    {
        const char* action;
        QVariantMap parameters;
    };
    const QList<Row> rows = {
        {"FetchFeed", {{QStringLiteral("feedURL"), QStringLiteral("http://127.0.0.1/feed")}}},
        {"FetchDocument", {{QStringLiteral("documentEntity"), QStringLiteral("alpha")}}},
        {"FetchDocuments",
         {{QStringLiteral("documentEntities"), recordValue(QStringLiteral("document:alpha"))}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.action);
        ActionRequester requester;
        ASSERT_TRUE(runAction(QString::fromLatin1(row.action), requester, row.parameters));
        EXPECT_EQ(requester.error().code(), VUvodozuManager::kMissingParameterErrorCode);
    }
    EXPECT_TRUE(journal().isEmpty());
}

TEST_F(FetchDocumentsTest, AnEntryGoneFromTheServiceIsAPartialFailure)
{
    ASSERT_TRUE(m_account.service.deleteDocument(QStringLiteral("document:beta")));
    m_account.service.clearJournal();
    ActionRequester requester;
    ASSERT_TRUE(
        runAction(QStringLiteral("FetchDocuments"), requester,
                  {{QStringLiteral("documentEntities"),
                    recordValues({QStringLiteral("document:alpha"), QStringLiteral("document:beta")})}}));
    EXPECT_EQ(requester.error().code(), VUvodozuManager::kSomeFetchErrorCode);
    EXPECT_EQ(requester.result().toList().size(), 1) << "the entry that came back is stored and answered";
}

} // namespace tavrel::test
