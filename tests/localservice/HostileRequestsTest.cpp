// Requests no client of ours sends, but anything on the machine may: the service answers them (400 where
// they make no sense) and applies nothing of them.
#include "Journal.h"
#include "LocalServiceFixture.h"
#include "support/WaitUntil.h"

#include <QUrl>
#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tavrel::test {
namespace {

class HostileRequestsTest : public LocalServiceFixture
{
protected:
    // Sends `bytes` on a connection of its own and ends it there (the body ends with them, whatever its
    // length said), then waits for the service to note the request. The service answers nobody who
    // stopped sending, so what it did shows in its journal and its account.
    bool sendAndEnd(const std::string& bytes)
    {
        const qsizetype before = m_service.journal().size();
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(m_service.port());
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool sent = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
                          ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size());
        ::shutdown(fd, SHUT_WR);
        const bool noted = sent && waitUntil([&] { return m_service.journal().size() > before; }, 10000);
        ::close(fd);
        return noted;
    }

    // One request message handled in-process, with the account's token.
    localservice::DirectAnswer handle(const QByteArray& line, const QByteArray& headers = {},
                                      const QByteArray& body = {})
    {
        return m_service.handleMessage(line + " HTTP/1.1\r\nAuthorization: Bearer " +
                                       QByteArray::fromStdString(m_token) + "\r\n" + headers + "\r\n" + body);
    }

    static QByteArray header(const localservice::DirectAnswer& answer, const char* name)
    {
        for (const auto& [key, value] : answer.headers)
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        return {};
    }

    static QByteArray entryNaming(const QString& rid)
    {
        return "<entry xmlns='http://www.w3.org/2005/Atom'><id>http://127.0.0.1/feeds/id/" +
               QUrl::toPercentEncoding(rid) + "</id></entry>";
    }
};

const char kNewEntry[] = "<entry xmlns='http://www.w3.org/2005/Atom'><title>Posted</title><category "
                         "scheme='http://schemas.google.com/g/2005#kind' "
                         "term='http://schemas.google.com/docs/2007#document'/></entry>";

TEST_F(HostileRequestsTest, DeeplyNestedEntryIsAnsweredWithoutOverflowingTheStack)
{
    const int depth = 300000;
    std::string nested;
    nested.reserve(size_t(depth) * 12 + 200);
    nested += "<entry xmlns='http://www.w3.org/2005/Atom' xmlns:x='urn:x'><title>Deep</title>";
    for (int i = 0; i < depth; ++i)
        nested += "<x:a>";
    for (int i = 0; i < depth; ++i)
        nested += "</x:a>";
    nested += "<category scheme='http://schemas.google.com/g/2005#kind' "
              "term='http://schemas.google.com/docs/2007#document'/></entry>";
    auto created = send("POST", "/feeds/default/private/full", nested);
    ASSERT_TRUE(created);
    EXPECT_EQ(created->status, 201);
    auto after = get("/feeds/metadata/default");
    ASSERT_TRUE(after) << "the service is still there";
    EXPECT_EQ(after->status, 200);
}

TEST_F(HostileRequestsTest, BodyThatDoesNotMatchItsLengthIsRefusedAndChangesNothing)
{
    const std::string head =
        "POST /feeds/default/private/full HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Bearer " + m_token +
        "\r\nContent-Type: application/atom+xml\r\n";
    const std::string body = kNewEntry;
    const struct
    {
        const char* what;
        std::string length;
        int status;
    } rows[] = {
        {"a body shorter than its length", std::to_string(body.size() + 100), 400},
        {"a negative length", "-5", 400},
        {"a length that fits no number", "99999999999999999999", 400},
        {"a length that is no number", "12abc", 400},
        {"a length above what the service holds", std::to_string((qint64(1) << 40)), 400},
        {"the body's own length", std::to_string(body.size()), 201},
    };
    for (const auto& row : rows) {
        const qint64 stamp = m_service.largestChangestamp();
        const qsizetype documents = m_service.documentIds().size();
        m_service.clearJournal();
        ASSERT_TRUE(sendAndEnd(head + "Content-Length: " + row.length + "\r\n\r\n" + body)) << row.what;
        const auto journal = m_service.journal();
        ASSERT_EQ(journal.size(), 1) << row.what;
        EXPECT_EQ(journal.first().status, row.status) << row.what;
        const bool applied = row.status == 201;
        EXPECT_EQ(journal.first().body.isEmpty(), !applied)
            << row.what << ": a refused request keeps no body";
        EXPECT_EQ(m_service.largestChangestamp() != stamp, applied) << row.what;
        EXPECT_EQ(m_service.documentIds().size(), documents + (applied ? 1 : 0)) << row.what;

        // The same message handed over in-process meets the same rules.
        if (!applied) {
            const auto answer = m_service.handleMessage(
                QByteArray::fromStdString(head + "Content-Length: " + row.length + "\r\n\r\n" + body));
            EXPECT_EQ(answer.status, 400) << row.what;
            EXPECT_EQ(m_service.documentIds().size(), documents) << row.what;
        }
    }
}

TEST_F(HostileRequestsTest, AnswersQuoteWhatRequestsSaidAsWellFormedXml)
{
    // A target is visible ASCII; anything else would end up raw in the answer's own links.
    EXPECT_EQ(handle("GET /feeds/default/private/full?q=\x01").status, 400);
    EXPECT_EQ(handle("GET /feeds/default/private/full?q=\xc3\xa9").status, 400);
    EXPECT_EQ(handle("GET /feeds/default/private/full?q=%01%C3%A9").status, 200);

    const QByteArray type = "text/plain; name='a'><b/>&";
    const auto session = handle("POST /feeds/upload/create-session/default/private/full?convert=false",
                                "X-Upload-Content-Type: " + type + "\r\nX-Upload-Content-Length: 3\r\n");
    ASSERT_EQ(session.status, 200);
    const QByteArray location =
        QUrl::fromEncoded(header(session, "Location")).toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority);
    const auto uploaded = handle("PUT " + location, "Content-Length: 3\r\n", "abc");
    ASSERT_EQ(uploaded.status, 201);
    const auto title = QByteArray("\x01 bell \x07");
    const QByteArray entry = QByteArray(kNewEntry).replace("Posted", "&#1; bell &#7;");
    ASSERT_EQ(handle("POST /feeds/default/private/full",
                     "Content-Length: " + QByteArray::number(entry.size()) + "\r\n", entry)
                  .status,
              201);

    const auto feed = handle("GET /feeds/default/private/full?showfolders=true");
    ASSERT_EQ(feed.status, 200);
    pugi::xml_document document;
    ASSERT_TRUE(document.load_buffer(feed.body.constData(), size_t(feed.body.size())))
        << feed.body.constData();
    QStringList types, titles;
    for (pugi::xml_node e : document.child("feed").children("entry")) {
        titles << QString::fromUtf8(e.child_value("title"));
        for (pugi::xml_node link : e.children("link"))
            if (std::strcmp(link.attribute("rel").value(), "edit-media") == 0)
                types << QString::fromUtf8(link.attribute("type").value());
    }
    EXPECT_TRUE(types.contains(QString::fromUtf8(type)));
    EXPECT_TRUE(titles.contains(QString::fromUtf8(title)));
}

TEST_F(HostileRequestsTest, ContentRangesThatDoNotFitOrContradictTheLengthAreRefused)
{
    const QByteArray content = "0123456789";
    const auto start = [&](const QByteArray& length) {
        const auto answer =
            handle("POST /feeds/upload/create-session/default/private/full?convert=false",
                   "X-Upload-Content-Type: text/plain\r\nX-Upload-Content-Length: " + length + "\r\n");
        return answer.status == 200 ? QUrl::fromEncoded(header(answer, "Location"))
                                          .toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority)
                                    : QByteArray::number(answer.status);
    };
    for (const QByteArray& length : {QByteArray("99999999999999999999"), QByteArray("-1"), QByteArray("ten")})
        EXPECT_EQ(start(length), "400") << length.constData();

    const QByteArray session = start("10");
    ASSERT_TRUE(session.startsWith("/feeds/upload/")) << session.constData();
    const auto put = [&](const QByteArray& range, const QByteArray& body) {
        const QByteArray rangeHeader = range.isEmpty() ? QByteArray() : "Content-Range: " + range + "\r\n";
        return handle("PUT " + session,
                      rangeHeader + "Content-Length: " + QByteArray::number(body.size()) + "\r\n", body);
    };
    const struct
    {
        const char* range;
        QByteArray body;
    } refused[] = {
        {"bytes */99999999999999999999", {}},
        {"bytes */3", {}},                // another length than the session's
        {"bytes 0-4/3", content.left(5)}, // more than the length
        {"bytes 0-4/11", content.left(5)},
        {"bytes 0-99999999999999999999/10", content.left(5)},
        {"bytes 99999999999999999999-99999999999999999999/10", content.left(1)},
        {"bytes 8-11/*", content.left(4)}, // beyond the session's length
        {"", content + "x"},               // no range, a body longer than the length
    };
    for (const auto& row : refused) {
        const auto answer = put(row.range, row.body);
        EXPECT_EQ(answer.status, 400) << row.range;
        const auto where = put("bytes */10", {});
        EXPECT_EQ(where.status, 308) << row.range;
        EXPECT_TRUE(header(where, "Range").isEmpty()) << row.range << ": nothing was kept";
    }

    ASSERT_EQ(put("bytes 0-4/10", content.left(5)).status, 308);
    EXPECT_EQ(put("bytes 5-10/10", content.mid(5) + "x").status, 400);
    const auto done = put("bytes 5-9/10", content.mid(5));
    ASSERT_EQ(done.status, 201) << done.body.constData();
    EXPECT_TRUE(done.body.contains("<docs:size>10</docs:size>"));
}

TEST_F(HostileRequestsTest, JournalKeepsBoundedBodiesAndNoneOfRefusedRequests)
{
    using localservice::Journal;
    m_service.clearJournal();
    const QByteArray large(8 << 20, 'x');
    for (int i = 0; i < 60; ++i) {
        const auto answer =
            m_service.handleMessage("POST /feeds/default/private/full HTTP/1.1\r\nContent-Length: " +
                                    QByteArray::number(large.size()) + "\r\n\r\n" + large);
        ASSERT_EQ(answer.status, 401);
    }
    QList<localservice::JournalEntry> journal = m_service.journal();
    ASSERT_EQ(journal.size(), 60);
    for (const auto& entry : journal) {
        EXPECT_TRUE(entry.body.isEmpty());
        EXPECT_EQ(entry.bodySize, large.size());
    }

    // Authorised requests keep their first MiB, and all bodies together stay within their bound.
    m_service.clearJournal();
    const QByteArray entry = QByteArray(kNewEntry).replace("Posted", QByteArray(3 << 20, 'p'));
    for (int i = 0; i < 80; ++i)
        ASSERT_EQ(
            handle("POST /nowhere", "Content-Length: " + QByteArray::number(entry.size()) + "\r\n", entry)
                .status,
            404);
    journal = m_service.journal();
    ASSERT_EQ(journal.size(), 80);
    qint64 kept = 0;
    for (const auto& e : journal) {
        EXPECT_LE(e.body.size(), Journal::kMaximumBodyBytesPerEntry);
        EXPECT_EQ(e.bodySize, entry.size());
        kept += e.body.size();
    }
    EXPECT_LE(kept, Journal::kMaximumBodyBytes);
    EXPECT_EQ(journal.last().body, entry.left(Journal::kMaximumBodyBytesPerEntry))
        << "the newest bodies stay";

    for (int i = 0; i < Journal::kMaximumEntries + 5; ++i)
        m_service.handleMessage("GET / HTTP/1.1\r\n\r\n");
    journal = m_service.journal();
    EXPECT_EQ(journal.size(), Journal::kMaximumEntries);
    EXPECT_EQ(journal.first().path, QStringLiteral("/")) << "the oldest entries went first";
}

TEST_F(HostileRequestsTest, CollectionsCannotBePutInsideThemselves)
{
    const QString outer = m_service.addDocument(QStringLiteral("Outer"), QStringLiteral("folder"));
    const QString middle =
        m_service.addDocument(QStringLiteral("Middle"), QStringLiteral("folder"), {}, outer);
    const QString inner =
        m_service.addDocument(QStringLiteral("Inner"), QStringLiteral("folder"), {}, middle);
    const auto putInto = [&](const QString& folder, const QString& rid) {
        return handle("POST /feeds/default/private/full/" + QUrl::toPercentEncoding(folder) + "/contents",
                      "Content-Length: " + QByteArray::number(entryNaming(rid).size()) + "\r\n",
                      entryNaming(rid))
            .status;
    };
    const struct
    {
        const char* what;
        QString moved, into;
        int status;
    } rows[] = {
        {"a collection into itself", outer, outer, 400},
        {"a collection into its child", outer, middle, 400},
        {"a collection into a collection two levels down", outer, inner, 400},
        {"a collection into one it is already in", middle, outer, 201},
        {"a collection into its grandparent too", inner, outer, 201},
    };
    for (const auto& row : rows) {
        const qint64 stamp = m_service.largestChangestamp();
        EXPECT_EQ(putInto(row.into, row.moved), row.status) << row.what;
        if (row.status == 400) {
            EXPECT_EQ(m_service.largestChangestamp(), stamp) << row.what;
        }
    }

    const QByteArray cycle = R"({"documents": [
        {"resourceId": "folder:a", "kind": "folder", "title": "A", "parents": ["folder:b"]},
        {"resourceId": "folder:b", "kind": "folder", "title": "B", "parents": ["folder:a"]}]})";
    QString error;
    EXPECT_FALSE(m_service.loadSeed(cycle, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("inside itself"))) << error.toStdString();
    EXPECT_FALSE(m_service.documentTitle(outer).isEmpty()) << "a refused seed leaves the account";
}

} // namespace
} // namespace tavrel::test
