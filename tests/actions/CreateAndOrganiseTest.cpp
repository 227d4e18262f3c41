#include "DocumentChangesFixture.h"
#include "model/Category.h"
#include "model/File.h"
#include "pipeline/VUvodozuManager.h"

#include <pugixml.hpp>

namespace tavrel::test {

namespace {

// The kind category's term and the title of a posted entry.
QPair<QString, QString> kindAndTitle(const QByteArray& body)
{
    pugi::xml_document doc;
    doc.load_buffer(body.constData(), size_t(body.size()));
    QString kind, title;
    for (pugi::xml_node c = doc.document_element().first_child(); c; c = c.next_sibling()) {
        const QString name = QString::fromUtf8(c.name()).section(QLatin1Char(':'), -1);
        if (name == QLatin1String("category") &&
            QString::fromUtf8(c.attribute("scheme").value()).endsWith(QLatin1String("#kind")))
            kind = QString::fromUtf8(c.attribute("term").value()).section(QLatin1Char('#'), -1);
        else if (name == QLatin1String("title"))
            title = QString::fromUtf8(c.child_value());
    }
    return {kind, title};
}

} // namespace

using CreateAndOrganiseTest = DocumentChangesTest;

TEST_F(CreateAndOrganiseTest, CreatesTheKindAskedForWithItsUntitledName)
{
    struct Row
    {
        QString type, kind, title;
        bool collection;
    };
    const QList<Row> rows = {
        {QStringLiteral("document"), QStringLiteral("document"), QStringLiteral("Untitled Document"), false},
        {QStringLiteral("spreadsheet"), QStringLiteral("spreadsheet"), QStringLiteral("Untitled Spreadsheet"),
         false},
        {QStringLiteral("presentation"), QStringLiteral("presentation"),
         QStringLiteral("Untitled Presentation"), false},
        {QStringLiteral("drawing"), QStringLiteral("drawing"), QStringLiteral("Untitled Drawing"), false},
        {QStringLiteral("folder"), QStringLiteral("folder"), QStringLiteral("Untitled Folder"), true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.type.toStdString());
        m_account.service.clearJournal();
        ActionRequester requester;
        ASSERT_TRUE(runAction(QStringLiteral("CreateEmptyDocument"), requester,
                              {{QStringLiteral("type"), row.type},
                               {QStringLiteral("collectionEntity"), QVariant()},
                               {QStringLiteral("statusID"), QStringLiteral("create_1")}}));
        ASSERT_TRUE(requester.error().isNull()) << requester.error().localizedDescription().toStdString();
        ASSERT_EQ(journal().size(), 1);
        EXPECT_EQ(journal().first().method, QStringLiteral("POST"));
        EXPECT_EQ(journal().first().path, QStringLiteral("/feeds/default/private/expandAcl"));
        EXPECT_EQ(kindAndTitle(journal().first().body), qMakePair(row.kind, row.title));
        const auto created =
            std::dynamic_pointer_cast<FileEntryAbstract>(requester.result().value<ManagedObjectPtr>());
        ASSERT_TRUE(created);
        EXPECT_EQ(created->title(), row.title);
        EXPECT_EQ(bool(std::dynamic_pointer_cast<Category>(created)), row.collection);
        EXPECT_TRUE(record(created->resourceId())) << "the new item is in the store";
        EXPECT_EQ(m_account.service.documentTitle(created->resourceId()), row.title);
    }
}

TEST_F(CreateAndOrganiseTest, CreatesInACollectionTrashedOrStarred)
{
    ActionRequester requester;
    ASSERT_TRUE(runAction(QStringLiteral("CreateEmptyDocument"), requester,
                          {{QStringLiteral("type"), QStringLiteral("document")},
                           {QStringLiteral("newName"), QStringLiteral("Notes")},
                           {QStringLiteral("collectionEntity"), recordValue(QStringLiteral("folder:box"))},
                           {QStringLiteral("isStarred"), true}}));
    ASSERT_TRUE(requester.error().isNull()) << requester.error().localizedDescription().toStdString();
    const QStringList lines = requestLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines.at(0), QStringLiteral("POST /feeds/default/private/full/folder:box/contents"));
    EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral("PUT /feeds/default/private/expandAcl/document:")));
    const auto created =
        std::dynamic_pointer_cast<FileEntryAbstract>(requester.result().value<ManagedObjectPtr>());
    ASSERT_TRUE(created);
    EXPECT_TRUE(created->isStarred()) << "the answer is the starred record";
    EXPECT_EQ(created->title(), QStringLiteral("Notes"));

    m_account.service.clearJournal();
    ActionRequester trashed;
    ASSERT_TRUE(runAction(
        QStringLiteral("CreateEmptyDocument"), trashed,
        {{QStringLiteral("type"), QStringLiteral("spreadsheet")}, {QStringLiteral("isTrashed"), true}}));
    ASSERT_TRUE(trashed.error().isNull());
    EXPECT_TRUE(QString::fromUtf8(journal().first().body).contains(QStringLiteral("labels#trashed")));
    const auto inTrash =
        std::dynamic_pointer_cast<FileEntryAbstract>(trashed.result().value<ManagedObjectPtr>());
    ASSERT_TRUE(inTrash);
    EXPECT_TRUE(inTrash->isTrashed());
}

TEST_F(CreateAndOrganiseTest, BadRequestsCreateNothing)
{
    const QList<QVariantMap> rows = {
        {{QStringLiteral("type"), QStringLiteral("form")}},
        {{QStringLiteral("type"), QStringLiteral("document")},
         {QStringLiteral("isTrashed"), QStringLiteral("yes")}},
        {{QStringLiteral("isStarred"), true}},
    };
    for (const QVariantMap& parameters : rows) {
        ActionRequester requester;
        ASSERT_TRUE(runAction(QStringLiteral("CreateEmptyDocument"), requester, parameters));
        EXPECT_EQ(requester.error().code(), VUvodozuManager::kMissingParameterErrorCode);
        EXPECT_FALSE(requester.result().isValid());
    }
    EXPECT_TRUE(journal().isEmpty()) << "a refused creation is never followed by the starring step";
}

TEST_F(CreateAndOrganiseTest, PutsDocumentsIntoACollectionAndTakesThemOut)
{
    const QVariant box = recordValue(QStringLiteral("folder:box"));
    ActionRequester assign;
    ASSERT_TRUE(
        runAction(QStringLiteral("AssignCollections"), assign,
                  {{QStringLiteral("documentEntities"),
                    recordValues({QStringLiteral("document:alpha"), QStringLiteral("document:beta")})},
                   {QStringLiteral("collectionEntity"), box},
                   {QStringLiteral("statusID"), QStringLiteral("tocollection_1")}}));
    ASSERT_TRUE(assign.error().isNull()) << assign.error().localizedDescription().toStdString();
    EXPECT_EQ(assign.result().toList().size(), 2);
    const QList<localservice::JournalEntry> sent = journal();
    ASSERT_EQ(sent.size(), 4);
    EXPECT_EQ(sent.at(0).method + QLatin1Char(' ') + sent.at(0).path,
              QStringLiteral("GET /feeds/default/private/full/folder:box/contents"));
    EXPECT_EQ(sent.at(1).method + QLatin1Char(' ') + sent.at(1).path,
              QStringLiteral("POST /feeds/default/private/full/folder:box/contents"));
    const QString posted = QString::fromUtf8(sent.at(1).body);
    EXPECT_TRUE(posted.contains(QStringLiteral("document%3Aalpha</id>"))) << posted.toStdString();
    EXPECT_TRUE(posted.contains(QStringLiteral("etag=\"*\"")) || posted.contains(QStringLiteral("etag='*'")));
    EXPECT_FALSE(posted.contains(QStringLiteral("<title"))) << "only the identifier travels";
    EXPECT_EQ(record(QStringLiteral("document:alpha"))->gdataEntry()->parentLinks().size(), 1);

    m_account.service.clearJournal();
    ActionRequester unassign;
    ASSERT_TRUE(
        runAction(QStringLiteral("UnassignCollection"), unassign,
                  {{QStringLiteral("documentEntity"), recordValue(QStringLiteral("spreadsheet:gamma"))},
                   {QStringLiteral("collectionEntity"), box}}));
    ASSERT_TRUE(unassign.error().isNull()) << unassign.error().localizedDescription().toStdString();
    EXPECT_EQ(requestLines(),
              (QStringList{
                  QStringLiteral("DELETE /feeds/default/private/full/folder:box/contents/spreadsheet:gamma"),
                  QStringLiteral("POST /feeds/default/private/expandAcl/batch")}));
    EXPECT_EQ(journal().first().headers.value(QStringLiteral("if-match")), QStringLiteral("*"));
    EXPECT_TRUE(record(QStringLiteral("spreadsheet:gamma"))->gdataEntry()->parentLinks().isEmpty())
        << "re-read into the store";

    ActionRequester none;
    ASSERT_TRUE(runAction(
        QStringLiteral("AssignCollections"), none,
        {{QStringLiteral("documentEntities"), QVariantList{}}, {QStringLiteral("collectionEntity"), box}}));
    EXPECT_TRUE(none.error().isNull());
    EXPECT_TRUE(none.result().toList().isEmpty());
}

TEST_F(CreateAndOrganiseTest, StarsSeveralInOneBatchAndReReadsThem)
{
    ActionRequester requester;
    ASSERT_TRUE(
        runAction(QStringLiteral("StarredDocuments"), requester,
                  {{QStringLiteral("documentEntities"),
                    recordValues({QStringLiteral("document:alpha"), QStringLiteral("document:readonly")})},
                   {QStringLiteral("isStarred"), true}}));
    ASSERT_TRUE(requester.error().isNull()) << requester.error().localizedDescription().toStdString();
    EXPECT_EQ(requester.result().toList().size(), 2);
    ASSERT_EQ(journal().size(), 2);
    const QString batch = QString::fromUtf8(journal().first().body);
    EXPECT_EQ(batch.count(QStringLiteral("<entry")), 2);
    EXPECT_EQ(batch.count(QStringLiteral("type=\"update\"")) + batch.count(QStringLiteral("type='update'")),
              2);
    // Whole entries, as an update replaces the entry: titles and the entity tags they were read with.
    EXPECT_TRUE(batch.contains(QStringLiteral("<title")) && batch.contains(QStringLiteral("Read only")))
        << batch.toStdString();
    EXPECT_FALSE(batch.contains(QStringLiteral("etag=\"*\"")) || batch.contains(QStringLiteral("etag='*'")));
    EXPECT_TRUE(record(QStringLiteral("document:alpha"))->isStarred());
    EXPECT_TRUE(record(QStringLiteral("document:readonly"))->isStarred()) << "a reader stars for themself";
    EXPECT_FALSE(record(QStringLiteral("document:alpha"))->isTrashed());

    m_account.service.clearJournal();
    m_account.service.addFault(
        {localservice::Fault::Status, QStringLiteral("POST"), QStringLiteral("/batch$"), 1, 400});
    ActionRequester failed;
    ASSERT_TRUE(
        runAction(QStringLiteral("StarredDocuments"), failed,
                  {{QStringLiteral("documentEntities"), recordValues({QStringLiteral("document:beta")})},
                   {QStringLiteral("isStarred"), true}}));
    EXPECT_EQ(failed.error().code(), VUvodozuManager::kUnexpectedErrorCode);
    EXPECT_FALSE(failed.result().isValid());
    EXPECT_EQ(journal().size(), 1) << "no re-read after a failed batch";
    EXPECT_FALSE(record(QStringLiteral("document:beta"))->isStarred());

    ActionRequester single;
    ASSERT_TRUE(
        runAction(QStringLiteral("Starred"), single,
                  {{QStringLiteral("documentEntity"), recordValue(QStringLiteral("document:beta"))}}));
    EXPECT_EQ(single.error().code(), VUvodozuManager::kMissingParameterErrorCode) << "no flag, no request";
}

TEST_F(CreateAndOrganiseTest, StarringAnEntryChangedElsewhereIsRefusedAndKeepsTheChange)
{
    ASSERT_TRUE(m_account.service.renameDocument(QStringLiteral("document:alpha"),
                                                 QStringLiteral("Renamed elsewhere")));
    ActionRequester requester;
    ASSERT_TRUE(
        runAction(QStringLiteral("StarredDocuments"), requester,
                  {{QStringLiteral("documentEntities"),
                    recordValues({QStringLiteral("document:alpha"), QStringLiteral("document:beta")})},
                   {QStringLiteral("isStarred"), true}}));
    EXPECT_EQ(requester.error().code(), VUvodozuManager::kSomeFetchErrorCode);
    EXPECT_EQ(m_account.service.documentTitle(QStringLiteral("document:alpha")),
              QStringLiteral("Renamed elsewhere"))
        << "the stored entry's old title did not overwrite the new one";
    EXPECT_FALSE(record(QStringLiteral("document:alpha"))->isStarred());
}

TEST_F(CreateAndOrganiseTest, ViewedMarksStayLocalAndWritersCanInviteGoesToTheService)
{
    struct Row
    {
        QVariant flag;
        bool viewed;
    };
    for (const Row& row : {Row{QVariant(), true}, Row{false, false}, Row{QStringLiteral("no"), true}}) {
        QVariantMap parameters = {
            {QStringLiteral("documentEntities"),
             recordValues({QStringLiteral("document:alpha"), QStringLiteral("folder:box")})}};
        if (row.flag.isValid())
            parameters.insert(QStringLiteral("isViewed"), row.flag);
        ActionRequester requester;
        ASSERT_TRUE(runAction(QStringLiteral("MarkAsViewed"), requester, parameters));
        ASSERT_TRUE(requester.error().isNull());
        EXPECT_EQ(requester.result().toList().size(), 2);
        for (const QString& rid : {QStringLiteral("document:alpha"), QStringLiteral("folder:box")}) {
            EXPECT_EQ(record(rid)->isViewed(), row.viewed);
            EXPECT_EQ(record(rid)->isNew(), !row.viewed) << "a viewed document is no longer new";
        }
    }
    EXPECT_TRUE(journal().isEmpty());

    ActionRequester invite;
    ASSERT_TRUE(runAction(QStringLiteral("WritersCanInvite"), invite,
                          {{QStringLiteral("documentEntity"), recordValue(QStringLiteral("folder:box"))},
                           {QStringLiteral("writersCanInvite"), false}}));
    ASSERT_TRUE(invite.error().isNull()) << invite.error().localizedDescription().toStdString();
    EXPECT_EQ(requestLines(), QStringList{QStringLiteral("PUT /feeds/default/private/expandAcl/folder:box")});
    EXPECT_EQ(journal().first().headers.value(QStringLiteral("if-match")), QStringLiteral("*"));
    EXPECT_FALSE(record(QStringLiteral("folder:box"))->writersCanInvite());

    ActionRequester refused;
    ASSERT_TRUE(runAction(QStringLiteral("WritersCanInvite"), refused,
                          {{QStringLiteral("documentEntity"), recordValue(QStringLiteral("document:shared"))},
                           {QStringLiteral("writersCanInvite"), false}}));
    EXPECT_EQ(refused.error().code(), VUvodozuManager::kUnexpectedErrorCode)
        << "that is the owner's to decide";
    EXPECT_TRUE(record(QStringLiteral("document:shared"))->writersCanInvite());
}

} // namespace tavrel::test
