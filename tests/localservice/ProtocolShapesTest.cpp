#include "LocalServiceFixture.h"
#include "support/WaitUntil.h"

#include <QUrl>
#include <map>

namespace tavrel::test {
namespace {

// Answers shaped as the real service's recorded ones, for the requests where the two once differed.
class ProtocolShapesTest : public LocalServiceFixture
{
protected:
    static std::string entryPath(const QString& rid)
    {
        return "/feeds/default/private/full/" + QUrl::toPercentEncoding(rid).toStdString();
    }
    std::string idUrl(const QString& rid) const
    {
        return m_service.baseUrl().toStdString() + "/feeds/id/" + QUrl::toPercentEncoding(rid).toStdString();
    }
    std::string etagOf(const QString& rid)
    {
        auto r = get(entryPath(rid));
        EXPECT_TRUE(r && r->status == 200);
        return r ? r->get_header_value("ETag") : std::string();
    }
    static std::string decoded(const std::string& text)
    {
        return QUrl::fromPercentEncoding(QByteArray::fromStdString(text)).toStdString();
    }
    static std::string escaped(const std::string& text)
    {
        return QString::fromStdString(text).toHtmlEscaped().toStdString();
    }
};

const char* const kFeedHead = "<feed xmlns='http://www.w3.org/2005/Atom' "
                              "xmlns:batch='http://schemas.google.com/gdata/batch' "
                              "xmlns:gd='http://schemas.google.com/g/2005'>";
const char* const kDocumentKind = "<category scheme='http://schemas.google.com/g/2005#kind' "
                                  "term='http://schemas.google.com/docs/2007#document'/>";
const char* const kStarred = "<category scheme='http://schemas.google.com/g/2005/labels' "
                             "term='http://schemas.google.com/g/2005/labels#starred' label='starred'/>";

TEST_F(ProtocolShapesTest, AnEmptyFileIsCreatedAtOnceWithoutASession)
{
    auto r = send(
        "POST", "/feeds/upload/create-session/default/private/full?convert=false", {},
        {{"X-Upload-Content-Type", "text/plain"}, {"X-Upload-Content-Length", "0"}, {"Slug", "empty.txt"}});
    ASSERT_TRUE(r);
    ASSERT_EQ(r->status, 201) << r->body;
    EXPECT_EQ(r->get_header_value("Content-Type").rfind("application/atom+xml", 0), 0u);
    auto doc = parse(r->body);
    pugi::xml_node entry = doc.child("entry");
    ASSERT_TRUE(entry);
    EXPECT_STREQ(entry.child_value("title"), "empty.txt");
    EXPECT_STREQ(entry.child_value("docs:size"), "0");
    // The Location names the new entry, not a session (the test's client decodes header values).
    const std::string location = local(r->get_header_value("Location"));
    EXPECT_EQ(location, decoded(local(linkHref(entry, "self"))));
    EXPECT_EQ(location.find("upload_id"), std::string::npos);
    EXPECT_EQ(m_service.openUploadSessions(), 0);
    const QString rid = QString::fromUtf8(entry.child_value("gd:resourceId"));
    EXPECT_EQ(m_service.document(rid).title, QStringLiteral("empty.txt"));
}

TEST_F(ProtocolShapesTest, AnUnfinishedUploadIsAnsweredResumeIncomplete)
{
    auto start = send("POST", "/feeds/upload/create-session/default/private/full", {},
                      {{"X-Upload-Content-Type", "text/plain"}, {"X-Upload-Content-Length", "10"}});
    ASSERT_TRUE(start && start->status == 200);
    auto r = send("PUT", local(start->get_header_value("Location")), "hello",
                  {{"Content-Range", "bytes 0-4/10"}}, "text/plain");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 308);
    EXPECT_EQ(r->reason, "Resume Incomplete");
    EXPECT_EQ(r->get_header_value("Range"), "bytes=0-4");
}

TEST_F(ProtocolShapesTest, AnAbandonedSessionIsDroppedAfterItsLifetime)
{
    auto start = send("POST", "/feeds/upload/create-session/default/private/full", {},
                      {{"X-Upload-Content-Type", "text/plain"}, {"X-Upload-Content-Length", "10"}});
    ASSERT_TRUE(start && start->status == 200);
    const std::string session = local(start->get_header_value("Location"));
    auto part = send("PUT", session, "hello", {{"Content-Range", "bytes 0-4/10"}}, "text/plain");
    ASSERT_TRUE(part && part->status == 308);
    EXPECT_EQ(m_service.openUploadSessions(), 1) << "kept while it may go on";

    m_service.setUploadSessionLifetime(50);
    EXPECT_TRUE(waitUntil([&] { return m_service.openUploadSessions() == 0; }));
    auto rest = send("PUT", session, "world", {{"Content-Range", "bytes 5-9/10"}}, "text/plain");
    ASSERT_TRUE(rest);
    EXPECT_EQ(rest->status, 404) << "the session and its bytes are gone";
}

TEST_F(ProtocolShapesTest, APresentationAskedAsPptComesInTheNewerFormat)
{
    const QString rid =
        m_service.addDocument(QStringLiteral("Slides for Ann"), QStringLiteral("presentation"));
    m_service.setDocumentContent(rid, "PK-slides");
    auto entry = parse(get(entryPath(rid))->body);
    const std::string src = local(entry.child("entry").child("content").attribute("src").value());
    // The headers as sent (the test's client would decode them).
    const localservice::DirectAnswer r = m_service.handleMessage(QByteArray::fromStdString(
        "GET " + src + "&exportFormat=ppt&format=ppt HTTP/1.1\r\nAuthorization: Bearer " + m_token +
        "\r\n\r\n"));
    ASSERT_EQ(r.status, 200);
    EXPECT_EQ(r.body, QByteArray("PK-slides"));
    std::map<QByteArray, QByteArray> headers;
    for (const auto& [name, value] : r.headers)
        headers[name.toLower()] = value;
    EXPECT_EQ(headers["content-type"],
              "application/vnd.openxmlformats-officedocument.presentationml.presentation");
    EXPECT_EQ(headers["content-disposition"],
              "attachment; filename=\"SlidesforAnn.pptx\"; filename*=UTF-8''Slides%20for%20Ann.pptx");
}

TEST_F(ProtocolShapesTest, ADocumentIsCopiedByItsId)
{
    const QString source = m_service.addDocument(QStringLiteral("Original"), QStringLiteral("spreadsheet"));
    m_service.setDocumentContent(source, "a,b\n");
    auto r = send("POST", "/feeds/default/private/full",
                  "<entry xmlns='http://www.w3.org/2005/Atom'><id>" + idUrl(source) +
                      "</id><title>Duplicate</title></entry>");
    ASSERT_TRUE(r);
    ASSERT_EQ(r->status, 201) << r->body;
    auto doc = parse(r->body);
    const QString copy = QString::fromUtf8(doc.child("entry").child_value("gd:resourceId"));
    EXPECT_NE(copy, source);
    EXPECT_EQ(local(r->get_header_value("Location")), decoded(entryPath(copy)));
    const localservice::DocumentSnapshot made = m_service.document(copy);
    EXPECT_EQ(made.kind, QStringLiteral("spreadsheet"));
    EXPECT_EQ(made.title, QStringLiteral("Duplicate"));
    EXPECT_EQ(made.content, QByteArray("a,b\n"));
    EXPECT_EQ(m_service.document(source).title, QStringLiteral("Original"));

    auto missing = send("POST", "/feeds/default/private/full",
                        "<entry xmlns='http://www.w3.org/2005/Atom'><id>" +
                            idUrl(QStringLiteral("document:nothere")) + "</id></entry>");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);
}

TEST_F(ProtocolShapesTest, ARevisionIsFetchedAndDownloaded)
{
    const QString rid = m_service.addDocument(QStringLiteral("Notes"));
    m_service.setDocumentContent(rid, "latest words");
    auto feed = get(entryPath(rid) + "/revisions");
    ASSERT_TRUE(feed && feed->status == 200);
    auto doc = parse(feed->body);
    pugi::xml_node revision = doc.child("feed").child("entry");
    ASSERT_TRUE(revision);
    EXPECT_FALSE(std::string(revision.attribute("gd:etag").value()).empty());
    const std::string self = linkHref(revision, "self");
    const std::string content = revision.child("content").attribute("src").value();
    ASSERT_FALSE(self.empty());
    ASSERT_FALSE(content.empty());

    auto fetched = get(local(self));
    ASSERT_TRUE(fetched);
    ASSERT_EQ(fetched->status, 200);
    auto one = parse(fetched->body);
    EXPECT_STREQ(one.child("entry").child_value("id"), revision.child_value("id"));
    EXPECT_EQ(fetched->get_header_value("ETag"), revision.attribute("gd:etag").value());
    auto bytes = get(local(content) + "&exportFormat=txt");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->status, 200);
    EXPECT_EQ(bytes->body, "latest words");
    EXPECT_EQ(get(entryPath(rid) + "/revisions/9")->status, 404);
}

TEST_F(ProtocolShapesTest, ShowRootGivesRootItemsTheirRootParent)
{
    const QString folder = m_service.addDocument(QStringLiteral("Box"), QStringLiteral("folder"));
    const QString inRoot = m_service.addDocument(QStringLiteral("Loose"));
    const QString inBox =
        m_service.addDocument(QStringLiteral("Boxed"), QStringLiteral("document"), {}, folder);
    const std::string root = m_service.baseUrl().toStdString() + "/feeds/default/private/full/folder%3Aroot";
    auto parentsOf = [&](const std::string& query) {
        std::map<QString, std::vector<std::string>> parents;
        auto doc = parse(get("/feeds/default/private/full?max-results=500&showfolders=true" + query)->body);
        for (pugi::xml_node e : doc.child("feed").children("entry")) {
            auto& list = parents[QString::fromUtf8(e.child_value("gd:resourceId"))];
            for (pugi::xml_node l : e.children("link"))
                if (std::string(l.attribute("rel").value()) == "http://schemas.google.com/docs/2007#parent")
                    list.push_back(l.attribute("href").value());
        }
        return parents;
    };
    auto shown = parentsOf("&showroot=true");
    EXPECT_EQ(shown[inRoot], std::vector<std::string>{root});
    EXPECT_EQ(shown[folder], std::vector<std::string>{root});
    EXPECT_EQ(shown[inBox].size(), 1u);
    EXPECT_NE(shown[inBox].front(), root);
    EXPECT_TRUE(parentsOf({})[inRoot].empty()) << "only when asked";
}

TEST_F(ProtocolShapesTest, BatchEntriesOnlyInTheFormsTheServiceTakes)
{
    const QStringList ids = m_service.documentIds();
    auto entryOf = [&](const QString& rid) {
        auto r = get(entryPath(rid));
        return r ? r->body.substr(r->body.find("<entry")) : std::string();
    };
    auto withBatch = [](std::string entry, const std::string& batchId, const char* operation) {
        entry.insert(entry.rfind("</entry>"),
                     "<batch:id>" + batchId + "</batch:id><batch:operation type='" + operation + "'/>");
        return entry;
    };
    std::string starredWhole = entryOf(ids.at(0));
    starredWhole.insert(starredWhole.rfind("</entry>"), kStarred);
    const std::string body =
        std::string(kFeedHead) +
        // As recorded: a query names the entry's address, an update sends the whole entry.
        "<entry><id>" + m_service.baseUrl().toStdString() + entryPath(ids.at(1)) +
        "</id><batch:id>address</batch:id><batch:operation type='query'/></entry>" +
        withBatch(starredWhole, "whole", "update") +
        // Not recorded, refused: a query by atom id, a bare update, a forced entity tag.
        "<entry><id>" + idUrl(ids.at(1)) +
        "</id><batch:id>atomid</batch:id><batch:operation type='query'/></entry>" + "<entry gd:etag='" +
        escaped(etagOf(ids.at(2))) + "'><id>" + idUrl(ids.at(2)) + "</id>" + kStarred +
        "<batch:id>bare</batch:id><batch:operation type='update'/></entry>" + "<entry gd:etag='*'><id>" +
        idUrl(ids.at(3)) + "</id>" + kDocumentKind +
        "<title>Forced</title><batch:id>forced</batch:id><batch:operation type='update'/></entry>" +
        "<entry gd:etag='*'><id>" + idUrl(ids.at(4)) +
        "</id><batch:id>forcedDelete</batch:id><batch:operation type='delete'/></entry></feed>";
    const QString titleBefore = m_service.documentTitle(ids.at(2));
    const bool starredBefore = entryOf(ids.at(2)).find("labels#starred") != std::string::npos;
    const bool trashedBefore = entryOf(ids.at(4)).find("labels#trashed") != std::string::npos;
    auto r = send("POST", "/feeds/default/private/full/batch", body);
    ASSERT_TRUE(r && r->status == 200);
    auto doc = parse(r->body);
    std::map<std::string, int> status;
    for (pugi::xml_node e : doc.child("feed").children("entry"))
        status[e.child_value("batch:id")] = e.child("batch:status").attribute("code").as_int();
    const std::map<std::string, int> expected = {{"address", 200}, {"whole", 200},  {"atomid", 404},
                                                 {"bare", 400},    {"forced", 412}, {"forcedDelete", 412}};
    EXPECT_EQ(status, expected);
    EXPECT_NE(entryOf(ids.at(0)).find("labels#starred"), std::string::npos);
    EXPECT_EQ(m_service.documentTitle(ids.at(2)), titleBefore);
    EXPECT_EQ(entryOf(ids.at(2)).find("labels#starred") != std::string::npos, starredBefore);
    EXPECT_EQ(entryOf(ids.at(4)).find("labels#trashed") != std::string::npos, trashedBefore);
}

TEST_F(ProtocolShapesTest, ARenamedContactsTitleFollowsItsName)
{
    auto feed = parse(get("/m8/feeds/contacts/default/full")->body);
    pugi::xml_node first = feed.child("feed").child("entry");
    ASSERT_TRUE(first);
    const std::string self = local(linkHref(first, "self"));
    const std::string oldTitle = first.child_value("title");
    auto renamed = [&](const std::string& name, const std::string& etag) {
        return "<entry xmlns='http://www.w3.org/2005/Atom' xmlns:gd='http://schemas.google.com/g/2005'" +
               (etag.empty() ? std::string() : " gd:etag='" + escaped(etag) + "'") +
               "><category scheme='http://schemas.google.com/g/2005#kind' "
               "term='http://schemas.google.com/contact/2008#contact'/><title>" +
               oldTitle + "</title><gd:name><gd:givenName>" + name +
               "</gd:givenName><gd:familyName>Moss</gd:familyName></gd:name>";
    };
    auto put = send("PUT", self, renamed("Ivy", {}) + "</entry>", {{"If-Match", "*"}});
    ASSERT_TRUE(put);
    ASSERT_EQ(put->status, 200) << put->body;
    EXPECT_STREQ(parse(put->body).child("entry").child_value("title"), "Ivy Moss");

    const std::string batch = std::string(kFeedHead) + renamed("Fern", put->get_header_value("ETag")) +
                              "<id>" + first.child_value("id") +
                              "</id><batch:id>1</batch:id><batch:operation type='update'/></entry></feed>";
    auto r = send("POST", "/m8/feeds/contacts/default/full/batch", batch);
    ASSERT_TRUE(r && r->status == 200);
    auto answer = parse(r->body);
    pugi::xml_node entry = answer.child("feed").child("entry");
    EXPECT_EQ(entry.child("batch:status").attribute("code").as_int(), 200) << r->body;
    EXPECT_STREQ(entry.child_value("title"), "Fern Moss");
    EXPECT_STREQ(parse(get(self)->body).child("entry").child_value("title"), "Fern Moss");
}

} // namespace
} // namespace tavrel::test
