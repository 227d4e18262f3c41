#include "LocalServiceFixture.h"

#include <QCryptographicHash>
#include <QUrl>

namespace tavrel::test {
namespace {

class TransferTest : public LocalServiceFixture
{
protected:
    // Starts a resumable session and answers the session URL (path and query).
    std::string startSession(const char* method, const std::string& path, const std::string& mime,
                             size_t length, httplib::Headers extra = {}, const std::string& metadata = {})
    {
        extra.emplace("X-Upload-Content-Type", mime);
        extra.emplace("X-Upload-Content-Length", std::to_string(length));
        extra.emplace("Slug", "report.bin");
        auto r = send(method, path, metadata, extra);
        EXPECT_TRUE(r);
        if (!r)
            return {};
        EXPECT_EQ(r->status, 200) << r->body;
        return local(r->get_header_value("Location"));
    }
    httplib::Result putChunk(const std::string& session, const std::string& data, size_t first, size_t total,
                             const std::string& mime = "application/octet-stream")
    {
        httplib::Headers h;
        const std::string range = data.empty() ? "bytes */" + std::to_string(total)
                                               : "bytes " + std::to_string(first) + "-" +
                                                     std::to_string(first + data.size() - 1) + "/" +
                                                     std::to_string(total);
        h.emplace("Content-Range", range);
        return send("PUT", session, data, h, mime.c_str());
    }
    static std::string payload(size_t n)
    {
        std::string s(n, '\0');
        for (size_t i = 0; i < n; ++i)
            s[i] = char('a' + (i * 7) % 26);
        return s;
    }
};

TEST_F(TransferTest, ResumableUploadResumesAfterADroppedConnection)
{
    const std::string data = payload(10000);
    const std::string session =
        startSession("POST", "/feeds/upload/create-session/default/private/full?convert=false",
                     "application/zip", data.size());
    ASSERT_NE(session.find("upload_id="), std::string::npos);

    localservice::Fault drop;
    drop.kind = localservice::Fault::DropAfterBytes;
    drop.method = QStringLiteral("PUT");
    drop.pathPattern = QStringLiteral("^/feeds/upload/");
    drop.bytes = 3000;
    m_service.addFault(drop);
    auto broken = putChunk(session, data, 0, data.size(), "application/zip");
    EXPECT_TRUE(!broken || broken->status != 201) << "the connection was dropped";

    m_client = std::make_unique<httplib::Client>("127.0.0.1", m_service.port());
    auto status = putChunk(session, {}, 0, data.size());
    ASSERT_TRUE(status);
    EXPECT_EQ(status->status, 308);
    EXPECT_EQ(status->get_header_value("Range"), "bytes=0-2999");

    auto chunk = putChunk(session, data.substr(3000, 4000), 3000, data.size());
    ASSERT_EQ(chunk->status, 308);
    EXPECT_EQ(chunk->get_header_value("Range"), "bytes=0-6999");
    auto done = putChunk(session, data.substr(7000), 7000, data.size(), "application/zip");
    ASSERT_EQ(done->status, 201) << done->body;
    EXPECT_FALSE(done->get_header_value("Location").empty());
    auto doc = parse(done->body);
    pugi::xml_node entry = doc.child("entry");
    EXPECT_STREQ(entry.child("docs:md5Checksum").child_value(),
                 QCryptographicHash::hash(QByteArray::fromStdString(data), QCryptographicHash::Md5)
                     .toHex()
                     .constData());
    EXPECT_STREQ(entry.child("docs:size").child_value(), "10000");
    EXPECT_NE(std::string(entry.child("category").attribute("term").value()).find("#file"),
              std::string::npos);

    const auto journal = m_service.journal();
    int dropped = 0;
    for (const auto& j : journal)
        dropped += j.status == 0 ? 1 : 0;
    EXPECT_EQ(dropped, 1);
}

TEST_F(TransferTest, MetadataOfTheSessionNamesAndLabelsTheUpload)
{
    const std::string data = payload(300);
    const std::string metadata =
        "<entry xmlns='http://www.w3.org/2005/Atom'><title>Named upload</title>"
        "<category scheme='http://schemas.google.com/g/2005/labels' "
        "term='http://schemas.google.com/g/2005/labels#starred'"
        " label='starred'/><category scheme='http://schemas.google.com/g/2005/labels'"
        " term='http://schemas.google.com/g/2005/labels#trashed' label='trashed'/></entry>";
    const std::string session =
        startSession("POST", "/feeds/upload/create-session/default/private/full?convert=false", "image/png",
                     data.size(), {}, metadata);
    auto r = putChunk(session, data, 0, data.size(), "image/png");
    ASSERT_EQ(r->status, 201);
    auto doc = parse(r->body);
    pugi::xml_node entry = doc.child("entry");
    EXPECT_STREQ(entry.child_value("title"), "Named upload");
    EXPECT_STREQ(entry.child_value("docs:filename"), "report.bin") << "the file name comes from the slug";
    EXPECT_NE(r->body.find("labels#starred"), std::string::npos);
    EXPECT_TRUE(entry.child("gd:deleted")) << "uploaded into the trash";
}

TEST_F(TransferTest, UploadsCreateConvertOrUpdateAsAsked)
{
    const QString folder = m_service.addDocument(QStringLiteral("Inbox"), QStringLiteral("folder"));
    const QString existing = m_service.addDocument(QStringLiteral("Existing"));
    const std::string folderPath = QUrl::toPercentEncoding(folder).toStdString();
    const std::string existingPath = QUrl::toPercentEncoding(existing).toStdString();
    struct Row
    {
        const char* name;
        const char* method;
        std::string path;
        std::string mime;
        httplib::Headers headers;
        int status;
        std::string kind;
        std::string parent;
    };
    const std::vector<Row> rows = {
        {"convert",
         "POST",
         "/feeds/upload/create-session/default/private/full?convert=true",
         "text/plain",
         {},
         201,
         "document",
         {}},
        {"no convert",
         "POST",
         "/feeds/upload/create-session/default/private/expandAcl?convert=false",
         "text/plain",
         {},
         201,
         "file",
         {}},
        {"pdf",
         "POST",
         "/feeds/upload/create-session/default/private/full",
         "application/pdf",
         {},
         201,
         "pdf",
         {}},
        {"in folder",
         "POST",
         "/feeds/upload/create-session/default/private/full/" + folderPath + "/contents?convert=false",
         "image/png",
         {},
         201,
         "file",
         folderPath},
        {"revision",
         "PUT",
         "/feeds/upload/create-session/default/private/expandAcl/" + existingPath + "?new-revision=true",
         "text/plain",
         {{"If-Match", "*"}},
         200,
         "document",
         {}},
    };
    for (const Row& row : rows) {
        const std::string data = payload(1234);
        const std::string session = startSession(row.method, row.path, row.mime, data.size(), row.headers);
        auto r = putChunk(session, data, 0, data.size(), row.mime);
        ASSERT_TRUE(r) << row.name;
        ASSERT_EQ(r->status, row.status) << row.name << ": " << r->body;
        auto doc = parse(r->body);
        pugi::xml_node entry = doc.child("entry");
        const std::string term = entry.child("category").attribute("term").value();
        EXPECT_EQ(term.substr(term.find('#') + 1), row.kind) << row.name;
        const std::string parent = linkHref(entry, "http://schemas.google.com/docs/2007#parent");
        EXPECT_EQ(parent.empty(), row.parent.empty()) << row.name;
        if (std::string(row.name) == "revision") {
            EXPECT_STREQ(entry.child_value("gd:resourceId"), existing.toStdString().c_str());
            EXPECT_TRUE(entry.child("gd:feedLink").child("feed"))
                << "the expandAcl projection inlines the list";
        }
    }
    auto stale = send("PUT", "/feeds/upload/create-session/default/private/full/" + existingPath, {},
                      {{"If-Match", "\"stale\""}, {"X-Upload-Content-Length", "3"}});
    EXPECT_EQ(stale->status, 412);
}

} // namespace
} // namespace tavrel::test
