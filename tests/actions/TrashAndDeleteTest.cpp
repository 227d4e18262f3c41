#include "DocumentChangesFixture.h"
#include "model/TQACLEntry.h"
#include "model/TQLocalizedStrings.h"
#include "pipeline/VUvodozuManager.h"

#include <pugixml.hpp>

namespace tavrel::test {

namespace {

struct SentEntry
{
    QString id, batchId, operation, etag;
};

QList<SentEntry> sentEntries(const QByteArray& body)
{
    QList<SentEntry> entries;
    pugi::xml_document doc;
    doc.load_buffer(body.constData(), size_t(body.size()));
    for (pugi::xml_node e = doc.document_element().first_child(); e; e = e.next_sibling()) {
        if (QString::fromUtf8(e.name()).section(QLatin1Char(':'), -1) != QLatin1String("entry"))
            continue;
        SentEntry out;
        for (pugi::xml_attribute a = e.first_attribute(); a; a = a.next_attribute())
            if (QString::fromUtf8(a.name()).endsWith(QLatin1String("etag")))
                out.etag = QString::fromUtf8(a.value());
        for (pugi::xml_node c = e.first_child(); c; c = c.next_sibling()) {
            const QString name = QString::fromUtf8(c.name());
            if (name.endsWith(QLatin1String(":id")))
                out.batchId = QString::fromUtf8(c.child_value());
            else if (name == QLatin1String("id"))
                out.id = QString::fromUtf8(c.child_value());
            else if (name.endsWith(QLatin1String("operation")))
                out.operation = QString::fromUtf8(c.attribute("type").value());
        }
        entries.append(out);
    }
    return entries;
}

const QStringList kThree = {QStringLiteral("document:alpha"), QStringLiteral("document:beta"),
                            QStringLiteral("spreadsheet:gamma")};

} // namespace

using TrashAndDeleteTest = DocumentChangesTest;

TEST_F(TrashAndDeleteTest, ThreeDocumentsGoInOneBatchToTheTrashOrForGood)
{
    struct Row
    {
        const char* action;
        QString query;
        bool stored; // the records stay (trashed) or leave the store
    };
    for (const Row& row : {Row{"TrashDocuments", QString(), true},
                           Row{"DeleteDocuments", QStringLiteral("delete=true"), false}}) {
        SCOPED_TRACE(row.action);
        QStringList identifiers, etags;
        for (const QString& rid : kThree) {
            identifiers.append(record(rid)->gdataEntry()->identifier());
            etags.append(record(rid)->gdataEntry()->ETag());
        }
        m_account.service.clearJournal();
        ActionRequester requester;
        ASSERT_TRUE(runAction(QString::fromLatin1(row.action), requester,
                              {{QStringLiteral("documentEntities"), recordValues(kThree)},
                               {QStringLiteral("statusID"), QStringLiteral("trashing_1")}}));
        ASSERT_TRUE(requester.error().isNull()) << requester.error().localizedDescription().toStdString();
        EXPECT_EQ(requester.result().toList().size(), 3);

        const QList<localservice::JournalEntry> sent = journal();
        ASSERT_GE(sent.size(), 1);
        EXPECT_EQ(sent.first().path, QStringLiteral("/feeds/default/private/expandAcl/batch"));
        EXPECT_EQ(sent.first().rawTarget.section(QLatin1Char('?'), 1), row.query);
        const QList<SentEntry> entries = sentEntries(sent.first().body);
        ASSERT_EQ(entries.size(), 3);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(entries.at(i).id, identifiers.at(i));
            EXPECT_EQ(entries.at(i).batchId, identifiers.at(i));
            EXPECT_EQ(entries.at(i).operation, QStringLiteral("delete"));
            EXPECT_EQ(entries.at(i).etag, etags.at(i)) << "the entity tag the entry was read with";
        }
        for (const QString& rid : kThree) {
            if (row.stored) {
                ASSERT_TRUE(record(rid));
                EXPECT_TRUE(record(rid)->isTrashed()) << "re-read after the trash: " << rid.toStdString();
            } else {
                EXPECT_FALSE(record(rid)) << rid.toStdString();
                EXPECT_TRUE(m_account.service.documentTitle(rid).isEmpty());
            }
        }
        // Trashing re-reads the three in one more request; deleting has nothing left to read.
        EXPECT_EQ(sent.size(), row.stored ? 2 : 1);
    }
}

TEST_F(TrashAndDeleteTest, AFailedEntryIsReportedAndTheTrashedOnesAreNotReRead)
{
    const QStringList mixed = {QStringLiteral("document:alpha"), QStringLiteral("document:readonly")};
    ActionRequester requester;
    ASSERT_TRUE(runAction(QStringLiteral("TrashDocuments"), requester,
                          {{QStringLiteral("documentEntities"), recordValues(mixed)}}));
    EXPECT_EQ(requester.error().code(), VUvodozuManager::kSomeFetchErrorCode);
    EXPECT_EQ(requester.error().localizedDescription(),
              QStringLiteral("Some items could not be moved to the trash."));
    EXPECT_EQ(requester.result().toList().size(), 1) << "the entry that was trashed";
    EXPECT_EQ(journal().size(), 1) << "no re-read after a failed batch";
    EXPECT_FALSE(record(QStringLiteral("document:readonly"))->isTrashed());
    EXPECT_EQ(m_account.service.documentTitle(QStringLiteral("document:readonly")),
              QStringLiteral("Read only"));
}

TEST_F(TrashAndDeleteTest, DeletingOnlyTakesTheUsersOwnAccessFromDocumentsOfOthers)
{
    struct Row
    {
        QString document;
        QString request;
    };
    const QList<Row> rows = {
        {QStringLiteral("document:shared"),
         QStringLiteral("DELETE /feeds/default/private/full/document:shared/acl/user:demo@tavrel.test")},
        {QStringLiteral("document:beta"),
         QStringLiteral("DELETE /feeds/default/private/full/document:beta?delete=true")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.document.toStdString());
        m_account.service.clearJournal();
        ActionRequester requester;
        ASSERT_TRUE(runAction(QStringLiteral("DeleteDocument"), requester,
                              {{QStringLiteral("documentEntity"), recordValue(row.document)}}));
        ASSERT_TRUE(requester.error().isNull()) << requester.error().localizedDescription().toStdString();
        EXPECT_EQ(requestLines(), QStringList{row.request});
        EXPECT_EQ(journal().first().headers.value(QStringLiteral("if-match")), QStringLiteral("*"));
        EXPECT_FALSE(record(row.document)) << "the record leaves the store either way";
    }
}

TEST_F(TrashAndDeleteTest, RestoringAndStarringRunOnTheRestoredRecords)
{
    ASSERT_TRUE(m_account.service.trashDocument(QStringLiteral("document:beta")));
    ActionRequester sync;
    ASSERT_TRUE(
        runAction(QStringLiteral("FetchDocument"), sync,
                  {{QStringLiteral("documentEntity"), recordValue(QStringLiteral("document:beta"))}}));
    ASSERT_TRUE(record(QStringLiteral("document:beta"))->isTrashed());
    m_account.service.clearJournal();

    const QStringList two = {QStringLiteral("document:old"), QStringLiteral("document:beta")};
    ActionRequester requester;
    ASSERT_TRUE(runAction(
        QStringLiteral("UntrashAndStarDocuments"), requester,
        {{QStringLiteral("documentEntities"), recordValues(two)}, {QStringLiteral("isStarred"), true}}));
    ASSERT_TRUE(requester.error().isNull()) << requester.error().localizedDescription().toStdString();
    EXPECT_EQ(requester.result().toList().size(), 2);
    const QStringList lines = requestLines();
    ASSERT_EQ(lines.size(), 4) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(lines.at(0), QStringLiteral("PUT /feeds/default/private/expandAcl/document:old"));
    EXPECT_EQ(lines.at(1), QStringLiteral("PUT /feeds/default/private/expandAcl/document:beta"));
    EXPECT_EQ(lines.at(2), QStringLiteral("POST /feeds/default/private/expandAcl/batch"));
    EXPECT_EQ(lines.at(3), QStringLiteral("POST /feeds/default/private/expandAcl/batch"));
    for (const QString& rid : two) {
        EXPECT_FALSE(record(rid)->isTrashed()) << rid.toStdString();
        EXPECT_TRUE(record(rid)->isStarred()) << rid.toStdString();
    }
}

TEST_F(TrashAndDeleteTest, AFailedRestoreStopsTheRestAndSkipsTheSecondStep)
{
    ASSERT_TRUE(m_account.service.trashDocument(QStringLiteral("document:beta")));
    m_account.service.clearJournal();
    m_account.service.addFault(
        {localservice::Fault::Status, QStringLiteral("PUT"), QStringLiteral("document:old"), 1, 404});
    const QStringList two = {QStringLiteral("document:old"), QStringLiteral("document:beta")};
    ActionRequester requester;
    ASSERT_TRUE(
        runAction(QStringLiteral("UntrashAndShareDocuments"), requester,
                  {{QStringLiteral("documentEntities"), recordValues(two)},
                   {QStringLiteral("ACLEntries"),
                    QVariantList{QVariant::fromValue(TQACLEntry(TQACLEntry::User, TQACLEntry::Reader,
                                                                QStringLiteral("eve@example.org")))}}}));
    EXPECT_EQ(requester.error().code(), VUvodozuManager::kUnexpectedErrorCode);
    EXPECT_EQ(requestLines().size(), 1) << requestLines().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(m_notifications.takeAll().isEmpty());
}

TEST_F(TrashAndDeleteTest, RefusalsOfTheServiceLeaveTheStoreAsItWas)
{
    struct Row
    {
        const char* action;
        QVariantMap parameters;
        QString document;
        int status; // of the request (a batch is accepted, its entry refused)
        qint64 code;
    };
    const QList<Row> rows = {
        {"TrashDocument",
         {{QStringLiteral("documentEntity"), recordValue(QStringLiteral("document:readonly"))}},
         QStringLiteral("document:readonly"),
         403,
         VUvodozuManager::kUnexpectedErrorCode},
        {"RenameDocument",
         {{QStringLiteral("documentEntity"), recordValue(QStringLiteral("document:readonly"))},
          {QStringLiteral("newName"), QStringLiteral("Mine now")}},
         QStringLiteral("document:readonly"),
         403,
         VUvodozuManager::kUnexpectedErrorCode},
        {"DeleteDocuments",
         {{QStringLiteral("documentEntities"), recordValues({QStringLiteral("document:shared")})}},
         QStringLiteral("document:shared"),
         200,
         VUvodozuManager::kSomeFetchErrorCode},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.action);
        const QString title = record(row.document)->title();
        m_account.service.clearJournal();
        ActionRequester requester;
        ASSERT_TRUE(runAction(QString::fromLatin1(row.action), requester, row.parameters));
        EXPECT_EQ(requester.error().domain(), VUvodozuManager::kErrorDomain);
        EXPECT_EQ(requester.error().code(), row.code);
        ASSERT_TRUE(record(row.document));
        EXPECT_EQ(record(row.document)->title(), title);
        EXPECT_FALSE(record(row.document)->isTrashed());
        EXPECT_EQ(m_account.service.documentTitle(row.document), title);
        ASSERT_EQ(journal().size(), 1);
        EXPECT_EQ(journal().first().status, row.status);
    }
}

TEST_F(TrashAndDeleteTest, EmptyListsAreRefusedOrSentAsTheActionSays)
{
    ActionRequester trash;
    ASSERT_TRUE(runAction(QStringLiteral("TrashDocumentsHandler"), trash,
                          {{QStringLiteral("documentEntities"), QVariantList{}}}));
    EXPECT_EQ(trash.error().code(), VUvodozuManager::kMissingParameterErrorCode);
    EXPECT_TRUE(journal().isEmpty());

    ActionRequester remove;
    ASSERT_TRUE(runAction(QStringLiteral("DeleteDocuments"), remove,
                          {{QStringLiteral("documentEntities"), QVariantList{}}}));
    EXPECT_TRUE(remove.error().isNull());
    ASSERT_EQ(journal().size(), 1) << "an empty batch";
    EXPECT_TRUE(sentEntries(journal().first().body).isEmpty());
}

} // namespace tavrel::test
