#include "LocalServiceFixture.h"
#include "support/WaitUntil.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <QUrlQuery>
#include <future>

namespace tavrel::test {
namespace {

using localservice::Fault;

class FaultAndAuthTest : public LocalServiceFixture
{
protected:
    static QJsonObject jsonOf(const httplib::Result& r)
    {
        return r ? QJsonDocument::fromJson(QByteArray::fromStdString(r->body)).object() : QJsonObject();
    }
    httplib::Result token(const std::string& form)
    {
        return m_client->Post("/o/oauth2/token", form, "application/x-www-form-urlencoded");
    }
    // Runs the browser step and answers the redirect's query.
    QUrlQuery authorize(const std::string& clientId = "tavrel-client")
    {
        auto r = m_client->Get(
            "/o/oauth2/auth?client_id=" + clientId +
            "&redirect_uri=http%3A%2F%2F127.0.0.1%3A5555%2Fcb&response_type=code&scope=docs&state=xyz");
        EXPECT_TRUE(r);
        if (!r)
            return {};
        EXPECT_EQ(r->status, 302);
        const QUrl location(QString::fromStdString(r->get_header_value("Location")));
        EXPECT_EQ(location.port(), 5555);
        return QUrlQuery(location);
    }
};

TEST_F(FaultAndAuthTest, StatusFaultsHitOnlyMatchingRequestsForTheirCount)
{
    Fault f;
    f.kind = Fault::Status;
    f.status = 503;
    f.count = 2;
    f.method = QStringLiteral("GET");
    f.pathPattern = QStringLiteral("^/feeds/default/private/full$");
    m_service.addFault(f);
    EXPECT_EQ(get("/feeds/metadata/default")->status, 200) << "other paths are not hit";
    auto first = get("/feeds/default/private/full");
    EXPECT_EQ(first->status, 503);
    EXPECT_EQ(first->get_header_value("Retry-After"), "0");
    EXPECT_EQ(get("/feeds/default/private/full")->status, 503);
    EXPECT_EQ(get("/feeds/default/private/full")->status, 200);
}

TEST_F(FaultAndAuthTest, EachFaultKindShowsOnTheWire)
{
    struct Row
    {
        Fault::Kind kind;
        bool answered; // a complete answer arrives
        bool wellFormed;
    };
    const std::vector<Row> rows = {
        {Fault::Delay, true, true},
        {Fault::MalformedBody, true, false},
        {Fault::DropAfterBytes, false, false},
    };
    for (const Row& row : rows) {
        Fault f;
        f.kind = row.kind;
        f.delayMs = 50;
        f.bytes = 100;
        m_service.addFault(f);
        m_client = std::make_unique<httplib::Client>("127.0.0.1", m_service.port());
        auto r = get("/feeds/default/private/full");
        EXPECT_EQ(bool(r) && r->status == 200, row.answered) << int(row.kind);
        if (r && r->status == 200) {
            pugi::xml_document doc;
            EXPECT_EQ(bool(doc.load_buffer(r->body.data(), r->body.size())), row.wellFormed) << int(row.kind);
        }
    }
    m_client = std::make_unique<httplib::Client>("127.0.0.1", m_service.port());
    EXPECT_EQ(get("/feeds/default/private/full")->status, 200) << "faults are used up";
}

TEST_F(FaultAndAuthTest, HangHoldsTheAnswerUntilClearedAndNeverBlocksStop)
{
    Fault f;
    f.kind = Fault::Hang;
    f.count = 2;
    m_service.addFault(f);
    const int port = m_service.port();
    const std::string token = m_token;
    auto request = [port, token] {
        httplib::Client c("127.0.0.1", port);
        c.set_read_timeout(30);
        auto r = c.Get("/feeds/metadata/default", {{"Authorization", "Bearer " + token}});
        return r ? r->status : -1;
    };
    auto held = std::async(std::launch::async, request);
    ASSERT_TRUE(waitUntil([&] { return m_service.hangingRequests() == 1; }));
    EXPECT_EQ(held.wait_for(std::chrono::seconds(0)), std::future_status::timeout);
    m_service.clearFaults();
    EXPECT_EQ(held.get(), 200);

    m_service.addFault(f);
    auto stuck = std::async(std::launch::async, request);
    ASSERT_TRUE(waitUntil([&] { return m_service.hangingRequests() == 1; }));
    m_service.stop();
    EXPECT_NE(stuck.get(), 200);
}

TEST_F(FaultAndAuthTest, JournalRecordsWhatWentOverTheWire)
{
    m_service.clearJournal();
    send("POST", "/m8/feeds/contacts/default/full?alt=atom",
         "<entry xmlns='http://www.w3.org/2005/Atom'><title>Jo</title></entry>", {{"X-Custom", "v"}});
    get("/nothing/here");
    const auto journal = m_service.journal();
    ASSERT_EQ(journal.size(), 2);
    const auto& post = journal.at(0);
    EXPECT_EQ(post.method, QStringLiteral("POST"));
    EXPECT_EQ(post.path, QStringLiteral("/m8/feeds/contacts/default/full"));
    EXPECT_EQ(post.rawTarget, QStringLiteral("/m8/feeds/contacts/default/full?alt=atom"));
    EXPECT_EQ(post.query.value(QStringLiteral("alt")), QStringLiteral("atom"));
    EXPECT_EQ(post.headers.value(QStringLiteral("x-custom")), QStringLiteral("v"));
    EXPECT_EQ(post.headers.value(QStringLiteral("gdata-version")), QStringLiteral("3"));
    EXPECT_TRUE(post.body.contains("<title>Jo</title>"));
    EXPECT_EQ(post.status, 201);
    EXPECT_EQ(journal.at(1).status, 404);
}

TEST_F(FaultAndAuthTest, CodeAndRefreshFlowsIssueWorkingTokens)
{
    m_service.setClientCredentials(QStringLiteral("tavrel-client"), QStringLiteral("s3cret"));
    const QUrlQuery redirect = authorize();
    EXPECT_EQ(redirect.queryItemValue(QStringLiteral("state")), QStringLiteral("xyz"));
    const std::string code =
        QUrl::toPercentEncoding(redirect.queryItemValue(QStringLiteral("code"))).toStdString();
    ASSERT_FALSE(code.empty());
    const std::string client = "&client_id=tavrel-client&client_secret=s3cret";
    const std::string redirectUri = "&redirect_uri=http%3A%2F%2F127.0.0.1%3A5555%2Fcb";

    auto wrongSecret = token("grant_type=authorization_code&code=" + code + redirectUri +
                             "&client_id=tavrel-client&client_secret=no");
    EXPECT_EQ(wrongSecret->status, 401);
    EXPECT_EQ(jsonOf(wrongSecret).value(QStringLiteral("error")).toString(),
              QStringLiteral("invalid_client"));

    auto granted = token("grant_type=authorization_code&code=" + code + redirectUri + client);
    ASSERT_EQ(granted->status, 200) << granted->body;
    const QJsonObject tokens = jsonOf(granted);
    EXPECT_EQ(tokens.value(QStringLiteral("token_type")).toString(), QStringLiteral("Bearer"));
    EXPECT_GT(tokens.value(QStringLiteral("expires_in")).toInt(), 0);
    const std::string refresh = tokens.value(QStringLiteral("refresh_token")).toString().toStdString();
    m_token = tokens.value(QStringLiteral("access_token")).toString().toStdString();
    auto me = get("/oauth2/v1/userinfo");
    ASSERT_EQ(me->status, 200);
    EXPECT_EQ(jsonOf(me).value(QStringLiteral("email")).toString(), m_service.ownerEmail());

    struct Row
    {
        std::string form;
        int status;
        const char* error;
    };
    const std::vector<Row> rows = {
        {"grant_type=authorization_code&code=" + code + redirectUri + client, 400,
         "invalid_grant"}, // used once
        {"grant_type=authorization_code&code=4%2Fmadeup" + redirectUri + client, 400, "invalid_grant"},
        {"grant_type=refresh_token&refresh_token=1%2Fmadeup" + client, 400, "invalid_grant"},
        {"grant_type=password" + client, 400, "unsupported_grant_type"},
    };
    for (const Row& row : rows) {
        auto r = token(row.form);
        EXPECT_EQ(r->status, row.status) << row.form;
        EXPECT_EQ(jsonOf(r).value(QStringLiteral("error")).toString(), QString::fromLatin1(row.error))
            << row.form;
    }

    m_service.expireAccessTokens();
    auto expired = get("/feeds/default/private/full");
    EXPECT_EQ(expired->status, 401);
    EXPECT_NE(expired->get_header_value("WWW-Authenticate").find("Bearer"), std::string::npos);
    auto refreshed = token("grant_type=refresh_token&refresh_token=" +
                           QUrl::toPercentEncoding(QString::fromStdString(refresh)).toStdString() + client);
    ASSERT_EQ(refreshed->status, 200);
    m_token = jsonOf(refreshed).value(QStringLiteral("access_token")).toString().toStdString();
    EXPECT_EQ(get("/feeds/default/private/full")->status, 200);
}

TEST_F(FaultAndAuthTest, RequestsWithoutAValidTokenAreRefused)
{
    m_service.setAccessTokenLifetime(0);
    const std::string shortLived = m_service.issueAccessToken().toStdString();
    const std::vector<httplib::Headers> rows = {{},
                                                {{"Authorization", "Bearer nonsense"}},
                                                {{"Authorization", "Basic abc"}},
                                                {{"Authorization", "Bearer " + shortLived}}};
    for (const auto& headers : rows) {
        for (const char* path :
             {"/feeds/default/private/full", "/m8/feeds/contacts/default/full", "/oauth2/v1/userinfo"}) {
            auto r = m_client->Get(path, headers);
            ASSERT_TRUE(r);
            EXPECT_EQ(r->status, 401) << path;
            EXPECT_TRUE(r->has_header("WWW-Authenticate"));
        }
    }
    EXPECT_EQ(m_client->Get("/")->status, 200) << "the front page is public";
    EXPECT_EQ(m_client->Get("/feeds/default/private/full?access_token=" + m_token)->status, 200)
        << "a browser can pass the token in the query";
}

TEST_F(FaultAndAuthTest, DeniedAuthorisationRedirectsWithAccessDenied)
{
    m_service.setAuthorizationDenied(true);
    const QUrlQuery redirect = authorize();
    EXPECT_EQ(redirect.queryItemValue(QStringLiteral("error")), QStringLiteral("access_denied"));
    EXPECT_FALSE(redirect.hasQueryItem(QStringLiteral("code")));
    EXPECT_EQ(redirect.queryItemValue(QStringLiteral("state")), QStringLiteral("xyz"));
}

} // namespace
} // namespace tavrel::test
