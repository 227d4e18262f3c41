#include "LocalServiceFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QUrl>
#include <atomic>
#include <map>
#include <thread>

namespace tavrel::test {
namespace {

class DocumentsTest : public LocalServiceFixture
{
protected:
    std::string entryPath(const QString& rid) const
    {
        return "/feeds/default/private/full/" + QUrl::toPercentEncoding(rid).toStdString();
    }
    std::string etagOf(const QString& rid)
    {
        auto r = get(entryPath(rid));
        EXPECT_TRUE(r && r->status == 200);
        return r ? r->get_header_value("ETag") : std::string();
    }
    std::string entryXml(const QString& title, const std::string& etag, const std::string& extra = {})
    {
        return "<entry xmlns='http://www.w3.org/2005/Atom' xmlns:gd='http://schemas.google.com/g/2005'"
               " xmlns:docs='http://schemas.google.com/docs/2007' gd:etag='" +
               QString::fromStdString(etag).toHtmlEscaped().toStdString() + "'><title>" +
               title.toStdString() +
               "</title><category scheme='http://schemas.google.com/g/2005#kind'"
               " term='http://schemas.google.com/docs/2007#document'/>" +
               extra + "</entry>";
    }
    // The documents of the account's own user: those anyone holding its token may rename.
    QStringList ownedDocumentIds() const
    {
        QStringList owned;
        const QJsonObject seed = QJsonDocument::fromJson(m_service.exportSeed()).object();
        const QString user =
            seed.value(QStringLiteral("owner")).toObject().value(QStringLiteral("email")).toString();
        for (const QJsonValue& value : seed.value(QStringLiteral("documents")).toArray()) {
            const QJsonObject document = value.toObject();
            if (document.value(QStringLiteral("kind")).toString() != QLatin1String("folder") &&
                document.value(QStringLiteral("owner")).toString() == user)
                owned.append(document.value(QStringLiteral("resourceId")).toString());
        }
        return owned;
    }
};

TEST_F(DocumentsTest, PagesFollowNextLinksWithoutLossOrRepeat)
{
    generate(1200, 0, 0);
    std::string path = "/feeds/default/private/full?max-results=500&showdeleted=true";
    QSet<QString> seen;
    std::vector<int> pages;
    while (!path.empty()) {
        auto r = get(path);
        ASSERT_TRUE(r);
        ASSERT_EQ(r->status, 200);
        auto doc = parse(r->body);
        pugi::xml_node feed = doc.child("feed");
        int n = 0;
        for (pugi::xml_node e : feed.children("entry")) {
            seen.insert(QString::fromUtf8(e.child_value("gd:resourceId")));
            ++n;
        }
        pages.push_back(n);
        path = local(linkHref(feed, "next"));
    }
    EXPECT_EQ(pages, (std::vector<int>{500, 500, 200}));
    EXPECT_EQ(seen.size(), 1200);
}

TEST_F(DocumentsTest, FeedFiltersFoldersTrashAndTitles)
{
    const QString folder = m_service.addDocument(QStringLiteral("Box"), QStringLiteral("folder"));
    const QString inside =
        m_service.addDocument(QStringLiteral("Zebra notes"), QStringLiteral("document"), {}, folder);
    const QString trashed = m_service.addDocument(QStringLiteral("Old zebra"), QStringLiteral("document"));
    m_service.trashDocument(trashed);
    struct Row
    {
        std::string query;
        QSet<QString> mustHave;
        QSet<QString> mustNotHave;
    };
    const std::vector<Row> rows = {
        {"/feeds/default/private/full?max-results=500", {inside}, {folder, trashed}},
        {"/feeds/default/private/full?max-results=500&showfolders=true", {folder, inside}, {trashed}},
        {"/feeds/default/private/full?max-results=500&showdeleted=true", {inside, trashed}, {folder}},
        {"/feeds/default/private/full/-/folder?max-results=500", {folder}, {inside, trashed}},
        {"/feeds/default/private/full/-/trashed?max-results=500", {trashed}, {inside, folder}},
        {"/feeds/default/private/full?q=zebra&showdeleted=true", {inside, trashed}, {folder}},
        {"/feeds/default/private/full?title=Zebra%20notes&title-exact=true", {inside}, {trashed}},
        {"/feeds/default/private/full/" + QUrl::toPercentEncoding(folder).toStdString() + "/contents",
         {inside},
         {trashed, folder}},
    };
    for (const Row& row : rows) {
        auto r = get(row.query);
        ASSERT_TRUE(r && r->status == 200) << row.query;
        auto doc = parse(r->body);
        QSet<QString> ids;
        for (pugi::xml_node e : doc.child("feed").children("entry"))
            ids.insert(QString::fromUtf8(e.child_value("gd:resourceId")));
        for (const QString& id : row.mustHave)
            EXPECT_TRUE(ids.contains(id)) << row.query << " lacks " << id.toStdString();
        for (const QString& id : row.mustNotHave)
            EXPECT_FALSE(ids.contains(id)) << row.query << " has " << id.toStdString();
    }
}

TEST_F(DocumentsTest, UpdateChecksTheEtag)
{
    const QString rid = m_service.documentIds().constLast();
    const std::string first = etagOf(rid);
    // Make the first ETag stale.
    ASSERT_EQ(
        send("PUT", entryPath(rid), entryXml(QStringLiteral("One"), first), {{"If-Match", first}})->status,
        200);
    const std::string current = etagOf(rid);
    ASSERT_NE(first, current);
    struct Row
    {
        std::string ifMatch;
        int status;
    };
    const std::vector<Row> rows = {{first, 412}, {"*", 200}, {"", 403}};
    for (const Row& row : rows) {
        httplib::Headers h;
        if (!row.ifMatch.empty())
            h.emplace("If-Match", row.ifMatch);
        auto r = send("PUT", entryPath(rid), entryXml(QStringLiteral("Two"), ""), h);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, row.status) << "If-Match " << row.ifMatch;
        if (row.status == 412) {
            EXPECT_EQ(r->body.rfind("Mismatch: etags = [" + first + "], version = [", 0), 0u) << r->body;
        }
    }
    auto fresh = get(entryPath(rid));
    auto r = send("PUT", entryPath(rid),
                  entryXml(QStringLiteral("Three"), fresh->get_header_value("ETag"),
                           "<docs:description>kept</docs:description><x:custom xmlns:x='urn:x'>y</x:custom>"),
                  {{"If-Match", fresh->get_header_value("ETag")}});
    ASSERT_EQ(r->status, 200);
    EXPECT_NE(r->body.find("<title>Three</title>"), std::string::npos);
    EXPECT_NE(r->body.find("kept</docs:description>"), std::string::npos) << "unknown elements are kept";
    EXPECT_NE(r->body.find("<x:custom xmlns:x=\"urn:x\">y</x:custom>"), std::string::npos) << r->body;
    EXPECT_EQ(m_service.documentTitle(rid), QStringLiteral("Three"));
}

TEST_F(DocumentsTest, ChangesFeedReportsEveryMutationOnce)
{
    const QStringList ids = m_service.documentIds();
    const qint64 before = m_service.largestChangestamp();
    const QString renamed = ids.at(5), trashed = ids.at(6), removed = ids.at(7);
    m_service.renameDocument(renamed, QStringLiteral("Renamed"));
    ASSERT_EQ(send("DELETE", entryPath(trashed), {}, {{"If-Match", "*"}})->status, 200);
    ASSERT_EQ(send("DELETE", entryPath(removed) + "?delete=true", {}, {{"If-Match", "*"}})->status, 200);
    m_service.renameDocument(renamed, QStringLiteral("Renamed twice"));
    EXPECT_EQ(m_service.largestChangestamp(), before + 4);

    auto r = get("/feeds/default/private/changes?expand-acl=true&start-index=" + std::to_string(before + 1));
    ASSERT_TRUE(r && r->status == 200);
    auto doc = parse(r->body);
    pugi::xml_node feed = doc.child("feed");
    EXPECT_EQ(feed.child("docs:largestChangestamp").attribute("value").as_llong(), before + 4);
    std::map<std::string, pugi::xml_node> byId;
    std::vector<long long> stamps;
    for (pugi::xml_node e : feed.children("entry")) {
        byId[e.child_value("gd:resourceId")] = e;
        stamps.push_back(e.child("docs:changestamp").attribute("value").as_llong());
    }
    EXPECT_EQ(stamps.size(), 3u) << "one entry per changed document";
    EXPECT_TRUE(std::is_sorted(stamps.begin(), stamps.end()));
    EXPECT_STREQ(byId[renamed.toStdString()].child_value("title"), "Renamed twice");
    EXPECT_STRNE(byId[renamed.toStdString()].child("gd:lastModifiedBy").child_value("email"),
                 "demo@tavrel.test")
        << "changes made through the test interface come from someone else";
    EXPECT_TRUE(byId[trashed.toStdString()].child("gd:deleted"));
    EXPECT_TRUE(byId[removed.toStdString()].child("docs:removed"));
    EXPECT_TRUE(byId[renamed.toStdString()].child("gd:feedLink").child("feed"))
        << "expand-acl inlines the list";

    auto meta = get("/feeds/metadata/default");
    auto metaDoc = parse(meta->body);
    EXPECT_EQ(metaDoc.child("entry").child("docs:largestChangestamp").attribute("value").as_llong(),
              before + 4);
    EXPECT_EQ(get(entryPath(removed))->status, 404);
}

TEST_F(DocumentsTest, BatchAnswersEachEntryWithItsOwnStatus)
{
    const QStringList ids = m_service.documentIds();
    const std::string base = m_service.baseUrl().toStdString();
    auto idUrl = [&](const QString& rid) {
        return base + "/feeds/id/" + QUrl::toPercentEncoding(rid).toStdString();
    };
    // A query names the entry by its address.
    auto address = [&](const QString& rid) { return base + entryPath(rid); };
    const std::string body =
        "<feed xmlns='http://www.w3.org/2005/Atom' xmlns:batch='http://schemas.google.com/gdata/batch'"
        " xmlns:gd='http://schemas.google.com/g/2005'>"
        "<entry><id>" +
        address(ids.at(0)) +
        "</id><batch:id>q</batch:id><batch:operation type='query'/></entry>"
        "<entry><id>" +
        base +
        "/feeds/default/private/full/document%3Anothere</id><batch:id>missing</batch:id><batch:operation "
        "type='query'/></entry>"
        "<entry><title>New</title><category scheme='http://schemas.google.com/g/2005#kind'"
        " term='http://schemas.google.com/docs/2007#spreadsheet'/><batch:id>ins</batch:id><batch:operation "
        "type='insert'/></entry>"
        "<entry gd:etag='&quot;stale&quot;'><id>" +
        idUrl(ids.at(1)) +
        "</id><title>X</title><batch:id>upd</batch:id><batch:operation type='update'/></entry>"
        "<entry><title/><batch:id>noid</batch:id><batch:operation type='delete'/></entry>"
        "<entry gd:etag='" +
        QString::fromStdString(etagOf(ids.at(2))).toHtmlEscaped().toStdString() + "'><id>" +
        idUrl(ids.at(2)) +
        "</id><batch:id>del</batch:id><batch:operation type='delete'/></entry>"
        "</feed>";
    auto r = send("POST", "/feeds/default/private/full/batch", body);
    ASSERT_TRUE(r && r->status == 200);
    auto doc = parse(r->body);
    std::map<std::string, int> status;
    for (pugi::xml_node e : doc.child("feed").children("entry"))
        status[e.child_value("batch:id")] = e.child("batch:status").attribute("code").as_int();
    const std::map<std::string, int> expected = {{"q", 200},   {"missing", 404}, {"ins", 201},
                                                 {"upd", 412}, {"noid", 400},    {"del", 200}};
    EXPECT_EQ(status, expected);
    EXPECT_FALSE(doc.child("feed").child("batch:interrupted"));
    // A batch delete trashes unless delete=true is given.
    auto trashed = get(entryPath(ids.at(2)));
    ASSERT_EQ(trashed->status, 200);
    EXPECT_NE(trashed->body.find("labels#trashed"), std::string::npos);

    const std::string unknown =
        "<feed xmlns='http://www.w3.org/2005/Atom' xmlns:batch='http://schemas.google.com/gdata/batch'>"
        "<entry><id>" +
        address(ids.at(3)) +
        "</id><batch:id>a</batch:id><batch:operation type='query'/></entry>"
        "<entry><id>" +
        idUrl(ids.at(3)) +
        "</id><batch:id>b</batch:id><batch:operation type='explode'/></entry>"
        "<entry><id>" +
        idUrl(ids.at(4)) +
        "</id><batch:id>c</batch:id><batch:operation type='delete'/></entry>"
        "</feed>";
    auto cut = send("POST", "/feeds/default/private/full/batch?delete=true", unknown);
    auto cutDoc = parse(cut->body);
    pugi::xml_node interrupted = cutDoc.child("feed").child("batch:interrupted");
    ASSERT_TRUE(interrupted);
    EXPECT_EQ(interrupted.attribute("success").as_int(), 1);
    EXPECT_EQ(interrupted.attribute("parsed").as_int(), 2);
    EXPECT_EQ(count(cutDoc.child("feed"), "entry"), 1);
    EXPECT_EQ(get(entryPath(ids.at(4)))->status, 200) << "entries after the interruption are not run";
}

TEST_F(DocumentsTest, AccessListKeepsKeysAndAdditionalRoles)
{
    const QString rid = m_service.addDocument(QStringLiteral("Shared"));
    const std::string acl = entryPath(rid) + "/acl";
    const std::string linkRule =
        "<entry xmlns='http://www.w3.org/2005/Atom' xmlns:gAcl='http://schemas.google.com/acl/2007'>"
        "<category scheme='http://schemas.google.com/g/2005#kind' "
        "term='http://schemas.google.com/acl/2007#accessRule'/>"
        "<gAcl:withKey key='secret1'><gAcl:role value='reader'/><gAcl:additionalRole "
        "value='commenter'/></gAcl:withKey>"
        "<gAcl:scope type='default'/></entry>";
    auto created = send("POST", acl, linkRule);
    ASSERT_TRUE(created);
    ASSERT_EQ(created->status, 201) << created->body;
    EXPECT_EQ(
        QUrl::fromPercentEncoding(QByteArray::fromStdString(local(created->get_header_value("Location")))),
        QUrl::fromPercentEncoding(QByteArray::fromStdString(acl + "/default")));
    EXPECT_EQ(send("POST", acl, linkRule)->status, 409);

    const std::string person =
        "<entry xmlns='http://www.w3.org/2005/Atom' xmlns:gAcl='http://schemas.google.com/acl/2007'>"
        "<gAcl:role value='writer'/><gAcl:scope type='user' value='ann@example.org'/></entry>";
    ASSERT_EQ(send("POST", acl, person)->status, 201);

    auto r = get(acl);
    ASSERT_EQ(r->status, 200);
    auto doc = parse(r->body);
    std::map<std::string, pugi::xml_node> rules;
    for (pugi::xml_node e : doc.child("feed").children("entry"))
        rules[e.child("gAcl:scope").attribute("type").value() + std::string(":") +
              e.child("gAcl:scope").attribute("value").value()] = e;
    ASSERT_EQ(rules.size(), 3u);
    pugi::xml_node key = rules["default:"].child("gAcl:withKey");
    EXPECT_STREQ(key.attribute("key").value(), "secret1");
    EXPECT_STREQ(key.child("gAcl:role").attribute("value").value(), "reader");
    EXPECT_STREQ(key.child("gAcl:additionalRole").attribute("value").value(), "commenter");
    EXPECT_STREQ(rules["user:ann@example.org"].child("gAcl:role").attribute("value").value(), "writer");
    EXPECT_STREQ(rules["user:demo@tavrel.test"].child("gAcl:role").attribute("value").value(), "owner");

    // The expanded list travels inline in the entry; the batch link of the list works.
    auto expanded = get("/feeds/default/private/expandAcl/" + QUrl::toPercentEncoding(rid).toStdString());
    auto entry = parse(expanded->body);
    pugi::xml_node inline_ = entry.child("entry").child("gd:feedLink").child("feed");
    EXPECT_EQ(count(inline_, "entry"), 3);
    const std::string batch = local(linkHref(inline_, "http://schemas.google.com/g/2005#batch"));
    const std::string base = m_service.baseUrl().toStdString();
    const std::string ops =
        "<feed xmlns='http://www.w3.org/2005/Atom' xmlns:batch='http://schemas.google.com/gdata/batch'"
        " xmlns:gAcl='http://schemas.google.com/acl/2007'>"
        "<entry><id>" +
        base + acl +
        "/default</id><batch:id>d</batch:id><batch:operation type='delete'/></entry>"
        "<entry><batch:id>batch_1</batch:id><batch:operation type='insert'/><gAcl:role value='reader'/>"
        "<gAcl:scope type='domain' value='tavrel.test'/></entry>"
        "<entry><id>" +
        base + acl +
        "/user%3Aann%40example.org</id><batch:id>u</batch:id><batch:operation type='update'/>"
        "<gAcl:role value='reader'/><gAcl:additionalRole value='commenter'/><gAcl:scope type='user' "
        "value='ann@example.org'/></entry>"
        "</feed>";
    auto answer = send("POST", batch, ops);
    ASSERT_EQ(answer->status, 200);
    auto answerDoc = parse(answer->body);
    std::map<std::string, int> status;
    for (pugi::xml_node e : answerDoc.child("feed").children("entry"))
        status[e.child_value("batch:id")] = e.child("batch:status").attribute("code").as_int();
    EXPECT_EQ(status, (std::map<std::string, int>{{"d", 200}, {"batch_1", 201}, {"u", 200}}));
    auto after = parse(get(acl)->body);
    std::string scopes;
    for (pugi::xml_node e : after.child("feed").children("entry"))
        scopes += std::string(e.child("gAcl:scope").attribute("type").value()) + ",";
    EXPECT_EQ(scopes, "user,user,domain,");
}

TEST_F(DocumentsTest, ConditionalGetsAnswerNotModifiedUntilSomethingChanges)
{
    const QString rid = m_service.documentIds().constFirst();
    const std::vector<std::string> paths = {entryPath(rid), "/feeds/default/private/full?max-results=5",
                                            "/m8/feeds/contacts/default/full"};
    std::vector<std::string> tags;
    for (const std::string& path : paths) {
        auto r = get(path);
        ASSERT_EQ(r->status, 200) << path;
        tags.push_back(r->get_header_value("ETag"));
        ASSERT_FALSE(tags.back().empty()) << path;
        auto again = get(path, {{"If-None-Match", tags.back()}});
        EXPECT_EQ(again->status, 304) << path;
        EXPECT_EQ(again->get_header_value("ETag"), tags.back()) << path;
    }
    m_service.renameDocument(rid, QStringLiteral("Changed"));
    EXPECT_EQ(get(paths[0], {{"If-None-Match", tags[0]}})->status, 200);
    EXPECT_EQ(get(paths[1], {{"If-None-Match", tags[1]}})->status, 200);
}

TEST_F(DocumentsTest, LinkAccessWithoutAKeyGetsOne)
{
    const QString rid = m_service.addDocument(QStringLiteral("Link"));
    auto r =
        send("POST", entryPath(rid) + "/acl",
             "<entry xmlns='http://www.w3.org/2005/Atom' xmlns:gAcl='http://schemas.google.com/acl/2007'>"
             "<gAcl:withKey key=''><gAcl:role value='reader'/></gAcl:withKey><gAcl:scope "
             "type='default'/></entry>");
    ASSERT_EQ(r->status, 201);
    auto doc = parse(r->body);
    EXPECT_STRNE(doc.child("entry").child("gAcl:withKey").attribute("key").value(), "");
    EXPECT_STREQ(doc.child("entry").child("gAcl:withKey").child("gAcl:role").attribute("value").value(),
                 "reader");
}

TEST_F(DocumentsTest, ConcurrentClientsAndTestChangesKeepTheAccountConsistent)
{
    generate(300, 10, 0);
    const QStringList ids = m_service.documentIds();
    const QStringList owned = ownedDocumentIds();
    ASSERT_FALSE(owned.isEmpty());
    const qint64 before = m_service.largestChangestamp();
    const int port = m_service.port();
    std::atomic<int> failures{0};
    std::vector<std::thread> clients;
    for (int t = 0; t < 6; ++t) {
        clients.emplace_back([&, t] {
            httplib::Client c("127.0.0.1", port);
            const httplib::Headers h = auth({{"If-Match", "*"}});
            for (int i = 0; i < 20; ++i) {
                const QString rid = owned.at((t * 20 + i) % owned.size());
                auto page = c.Get("/feeds/default/private/expandAcl?max-results=100&showfolders=true", h);
                auto put = c.Put(entryPath(rid), h, entryXml(QStringLiteral("T%1 %2").arg(t).arg(i), "*"),
                                 "application/atom+xml");
                if (!page || page->status != 200 || !put || put->status != 200)
                    ++failures;
            }
        });
    }
    for (int i = 0; i < 50; ++i)
        m_service.renameDocument(ids.at(200 + i), QStringLiteral("Mine %1").arg(i));
    for (std::thread& c : clients)
        c.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(m_service.largestChangestamp(), before + 6 * 20 + 50) << "every change got its own stamp";
    auto changes =
        parse(get("/feeds/default/private/changes?max-results=500&start-index=" + std::to_string(before + 1))
                  ->body);
    EXPECT_EQ(count(changes.child("feed"), "entry"), 6 * 20 + 50);
}

TEST_F(DocumentsTest, CollectionContentsAddAndRemove)
{
    const QString folder = m_service.addDocument(QStringLiteral("Box"), QStringLiteral("folder"));
    const QString rid = m_service.addDocument(QStringLiteral("Paper"));
    const std::string contents = entryPath(folder) + "/contents";
    const std::string add = "<entry xmlns='http://www.w3.org/2005/Atom'><id>" +
                            m_service.baseUrl().toStdString() + "/feeds/id/" +
                            QUrl::toPercentEncoding(rid).toStdString() + "</id></entry>";
    auto r = send("POST", contents, add);
    ASSERT_EQ(r->status, 201);
    auto doc = parse(r->body);
    EXPECT_EQ(local(linkHref(doc.child("entry"), "http://schemas.google.com/docs/2007#parent")),
              entryPath(folder));
    // A new entry posted to the contents is created inside the collection.
    auto created = send("POST", contents, entryXml(QStringLiteral("Inside"), ""));
    ASSERT_EQ(created->status, 201);
    auto list = parse(get(contents)->body);
    EXPECT_EQ(count(list.child("feed"), "entry"), 2);
    EXPECT_FALSE(linkHref(list.child("feed"), "http://schemas.google.com/g/2005#post").empty());

    ASSERT_EQ(
        send("DELETE", contents + "/" + QUrl::toPercentEncoding(rid).toStdString(), {}, {{"If-Match", "*"}})
            ->status,
        200);
    EXPECT_EQ(count(parse(get(contents)->body).child("feed"), "entry"), 1);
    EXPECT_EQ(get(entryPath(rid))->status, 200) << "removing from a collection keeps the document";
}

TEST_F(DocumentsTest, DownloadsExportNativeKindsAndServeFiles)
{
    const QString rid = m_service.addDocument(QStringLiteral("Sheet"), QStringLiteral("spreadsheet"));
    m_service.setDocumentContent(rid, "a,b\n1,2\n");
    auto entry = parse(get(entryPath(rid))->body);
    const std::string src = local(entry.child("entry").child("content").attribute("src").value());
    auto r = get(src + "&exportFormat=xls&format=xls");
    ASSERT_EQ(r->status, 200);
    EXPECT_EQ(r->body, "a,b\n1,2\n");
    EXPECT_EQ(r->get_header_value("Content-Type"), "application/vnd.ms-excel");
    EXPECT_NE(r->get_header_value("Content-Disposition").find("Sheet.xls"), std::string::npos);
    EXPECT_EQ(get("/feeds/download/documents/export/Export?id=nothere")->status, 404);
}

} // namespace
} // namespace tavrel::test
