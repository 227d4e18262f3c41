#include "LocalService.h"
#include "platform/gdata/OAuth2SignIn.h"
#include "support/WaitUntil.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QThread>
#include <QUrlQuery>
#include <gtest/gtest.h>
#include <optional>

namespace tavrel::test {
namespace {

using localservice::Fault;
using localservice::LocalService;

class OAuth2LocalServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString reason;
        ASSERT_TRUE(m_service.start(0, &reason)) << reason.toStdString();
        m_configuration = OAuth2Configuration(QUrl(m_service.baseUrl()));
        m_service.setClientCredentials(m_configuration.clientID(), m_configuration.clientSecret());
        m_service.clearJournal();
    }
    void TearDown() override { m_service.stop(); }

    // An authentication that has been signed in before, without the browser.
    std::shared_ptr<OAuth2Authentication> signedInAuthentication()
    {
        auto authentication = OAuth2Authentication::create(m_configuration);
        authentication->setRefreshToken(m_service.issueRefreshToken(m_service.ownerEmail()));
        authentication->setUserEmail(m_service.ownerEmail());
        return authentication;
    }

    QList<localservice::JournalEntry> tokenRequests() const
    {
        QList<localservice::JournalEntry> found;
        for (const auto& entry : m_service.journal()) {
            if (entry.path == QLatin1String("/o/oauth2/token"))
                found.append(entry);
        }
        return found;
    }

    // GETs the user-info endpoint signed with the current token; answers the HTTP status.
    int statusOfSignedRequest(OAuth2Authentication& authentication)
    {
        QNetworkRequest request(m_configuration.userInfoURL());
        if (!authentication.authorizeRequestNow(&request))
            return -1;
        QNetworkReply* reply = m_network.get(request);
        const bool finished = waitUntil([reply] { return reply->isFinished(); }, 10000);
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        reply->deleteLater();
        return finished ? status : -2;
    }

    LocalService m_service;
    OAuth2Configuration m_configuration;
    QNetworkAccessManager m_network;
};

// Plays the browser: asks the authorization page and follows its redirect back to the loopback.
class PlayedBrowser
{
public:
    void open(const QUrl& url)
    {
        m_authorizationURL = url;
        QNetworkRequest request(url);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::NoLessSafeRedirectPolicy);
        QNetworkReply* reply = m_network.get(request);
        QObject::connect(reply, &QNetworkReply::redirected, reply,
                         [this](const QUrl& to) { m_visited.append(to); });
        QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
    }
    QUrl authorizationURL() const { return m_authorizationURL; }
    QList<QUrl> visited() const { return m_visited; }

private:
    QUrl m_authorizationURL;
    QList<QUrl> m_visited;
    QNetworkAccessManager m_network;
};

TEST_F(OAuth2LocalServiceTest, SignInCompletesWhenTheBrowserComesBack)
{
    PlayedBrowser browser;
    OAuth2SignIn signIn(m_configuration);
    signIn.setBrowserOpener([&browser](const QUrl& url) { browser.open(url); });
    std::optional<Error> result;
    std::shared_ptr<OAuth2Authentication> authentication;
    signIn.signIn([&](std::shared_ptr<OAuth2Authentication> signedIn, const Error& error) {
        authentication = std::move(signedIn);
        result = error;
    });
    ASSERT_TRUE(waitUntil([&] { return result.has_value(); }, 10000));
    ASSERT_TRUE(result->isNull()) << result->description().toStdString();
    ASSERT_TRUE(authentication);

    const QUrlQuery asked(browser.authorizationURL());
    EXPECT_EQ(browser.authorizationURL().path(), QStringLiteral("/o/oauth2/auth"));
    EXPECT_EQ(asked.queryItemValue(QStringLiteral("client_id")), m_configuration.clientID());
    EXPECT_EQ(asked.queryItemValue(QStringLiteral("response_type")), QStringLiteral("code"));
    const QUrl redirect(asked.queryItemValue(QStringLiteral("redirect_uri"), QUrl::FullyDecoded));
    EXPECT_EQ(redirect.host(), QStringLiteral("127.0.0.1"));
    ASSERT_FALSE(browser.visited().isEmpty());
    EXPECT_EQ(browser.visited().first().port(), redirect.port()) << "the service sent the browser back";

    EXPECT_EQ(authentication->userEmail(), m_service.ownerEmail());
    EXPECT_FALSE(authentication->refreshToken().isEmpty());
    EXPECT_FALSE(authentication->isAccessTokenExpired());
    EXPECT_EQ(statusOfSignedRequest(*authentication), 200);
    EXPECT_FALSE(signIn.isSigningIn());
}

TEST_F(OAuth2LocalServiceTest, RefusedOrCancelledSignInIsClosed)
{
    for (bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancelled" : "refused");
        m_service.setAuthorizationDenied(!cancel);
        PlayedBrowser browser;
        OAuth2SignIn signIn(m_configuration);
        bool opened = false;
        signIn.setBrowserOpener([&](const QUrl& url) {
            opened = true;
            if (!cancel)
                browser.open(url);
        });
        std::optional<Error> result;
        std::shared_ptr<OAuth2Authentication> authentication;
        signIn.signIn([&](std::shared_ptr<OAuth2Authentication> signedIn, const Error& error) {
            authentication = std::move(signedIn);
            result = error;
        });
        if (cancel) {
            ASSERT_TRUE(waitUntil([&] { return opened; }));
            signIn.cancelSignIn();
        }
        ASSERT_TRUE(waitUntil([&] { return result.has_value(); }, 10000));
        EXPECT_EQ(result->domain(), OAuth2Authentication::kErrorDomain);
        EXPECT_EQ(result->code(), OAuth2Authentication::kErrorWindowClosed);
        EXPECT_FALSE(authentication);
        EXPECT_TRUE(tokenRequests().isEmpty());
    }
}

TEST_F(OAuth2LocalServiceTest, ExpiredTokenIsRefreshedBeforeSigning)
{
    auto authentication = signedInAuthentication();
    authentication->setAccessToken(QStringLiteral("old"));
    authentication->setExpirationDate(QDateTime::currentDateTimeUtc().addSecs(-10));

    QNetworkRequest request(m_configuration.userInfoURL());
    std::optional<Error> result;
    authentication->authorizeRequest(&request, [&](const Error& error) { result = error; });
    ASSERT_TRUE(waitUntil([&] { return result.has_value(); }, 10000));
    ASSERT_TRUE(result->isNull()) << result->description().toStdString();
    EXPECT_NE(authentication->accessToken(), QStringLiteral("old"));
    EXPECT_EQ(request.rawHeader("Authorization"), "Bearer " + authentication->accessToken().toUtf8());
    EXPECT_FALSE(authentication->isAccessTokenExpired());

    const auto requests = tokenRequests();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests.first().method, QStringLiteral("POST"));
    const QUrlQuery form(QString::fromUtf8(requests.first().body));
    EXPECT_EQ(form.queryItemValue(QStringLiteral("grant_type")), QStringLiteral("refresh_token"));
    EXPECT_EQ(form.queryItemValue(QStringLiteral("refresh_token"), QUrl::FullyDecoded),
              authentication->refreshToken());
    EXPECT_EQ(statusOfSignedRequest(*authentication), 200);

    // A usable token is used as it is.
    m_service.clearJournal();
    QNetworkRequest again(m_configuration.userInfoURL());
    bool signedAtOnce = false;
    authentication->authorizeRequest(&again, [&](const Error& error) { signedAtOnce = error.isNull(); });
    EXPECT_TRUE(signedAtOnce);
    EXPECT_TRUE(tokenRequests().isEmpty());
}

TEST_F(OAuth2LocalServiceTest, ShortLivedTokensAreUsed)
{
    // Shorter than the margin before the end: such a token must still sign, not cause refresh after refresh.
    m_service.setAccessTokenLifetime(OAuth2Authentication::expiryMarginSeconds / 2);
    auto authentication = signedInAuthentication();
    QNetworkRequest request(m_configuration.userInfoURL());
    std::optional<Error> result;
    authentication->authorizeRequest(&request, [&](const Error& error) { result = error; });
    ASSERT_TRUE(waitUntil([&] { return result.has_value(); }, 10000));
    ASSERT_TRUE(result->isNull()) << result->description().toStdString();
    EXPECT_FALSE(authentication->isAccessTokenExpired());
    EXPECT_EQ(statusOfSignedRequest(*authentication), 200);
    EXPECT_EQ(tokenRequests().size(), 1);
}

TEST_F(OAuth2LocalServiceTest, RefusedTokenIsRefreshedOnceAndTheRetryPasses)
{
    auto authentication = signedInAuthentication();
    std::optional<Error> result;
    authentication->refreshAccessToken([&](const Error& error) { result = error; });
    ASSERT_TRUE(waitUntil([&] { return result.has_value(); }, 10000));
    ASSERT_EQ(statusOfSignedRequest(*authentication), 200);

    // The service stops taking the token although its stated lifetime has not run out.
    m_service.expireAccessTokens();
    m_service.clearJournal();
    ASSERT_FALSE(authentication->isAccessTokenExpired());
    ASSERT_EQ(statusOfSignedRequest(*authentication), 401);

    result.reset();
    authentication->refreshAccessToken([&](const Error& error) { result = error; });
    ASSERT_TRUE(waitUntil([&] { return result.has_value(); }, 10000));
    ASSERT_TRUE(result->isNull()) << result->description().toStdString();
    EXPECT_EQ(statusOfSignedRequest(*authentication), 200);
    EXPECT_EQ(tokenRequests().size(), 1);
}

TEST_F(OAuth2LocalServiceTest, ConcurrentRefreshesShareOneTokenRequest)
{
    auto authentication = signedInAuthentication();
    // Holds the token answer long enough for every thread to ask while it is under way.
    Fault delay;
    delay.kind = Fault::Delay;
    delay.pathPattern = QStringLiteral("^/o/oauth2/token$");
    delay.delayMs = 400;
    m_service.addFault(delay);

    constexpr int kThreads = 5;
    std::atomic<int> asked{0};
    std::mutex mutex;
    QList<QByteArray> headers;
    QList<bool> onOwnThread;
    QList<QThread*> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.append(QThread::create([&] {
            QEventLoop loop;
            QNetworkRequest request(m_configuration.userInfoURL());
            QThread* self = QThread::currentThread();
            authentication->authorizeRequest(&request, [&](const Error& error) {
                std::lock_guard lock(mutex);
                headers.append(error.isNull() ? request.rawHeader("Authorization") : QByteArray("error"));
                onOwnThread.append(QThread::currentThread() == self);
                loop.quit();
            });
            ++asked;
            loop.exec();
        }));
        threads.last()->start();
    }
    const bool allAnswered = waitUntil(
        [&] {
            std::lock_guard lock(mutex);
            return headers.size() == kThreads;
        },
        15000);
    for (QThread* thread : threads) {
        thread->wait();
        delete thread;
    }
    ASSERT_TRUE(allAnswered);
    EXPECT_EQ(tokenRequests().size(), 1);
    EXPECT_EQ(authentication->tokenRequestCount(), 1);
    const QByteArray expected = "Bearer " + authentication->accessToken().toUtf8();
    EXPECT_EQ(headers, QList<QByteArray>(kThreads, expected));
    EXPECT_EQ(onOwnThread, QList<bool>(kThreads, true));
}

TEST_F(OAuth2LocalServiceTest, RefusedRefreshReachesEveryWaiter)
{
    auto authentication = signedInAuthentication();
    Fault refuse;
    refuse.kind = Fault::Status;
    refuse.pathPattern = QStringLiteral("^/o/oauth2/token$");
    refuse.status = 400;
    m_service.addFault(refuse);

    QList<Error> errors;
    authentication->refreshAccessToken([&](const Error& error) { errors.append(error); });
    authentication->refreshAccessToken([&](const Error& error) { errors.append(error); });
    ASSERT_TRUE(waitUntil([&] { return errors.size() == 2; }, 10000));
    for (const Error& error : errors) {
        EXPECT_EQ(error.domain(), OAuth2Authentication::kErrorDomain);
        EXPECT_EQ(error.code(), 400);
    }
    EXPECT_EQ(tokenRequests().size(), 1);
    EXPECT_FALSE(authentication->refreshToken().isEmpty())
        << "a refusal keeps the refresh token for a later try";
}

} // namespace
} // namespace tavrel::test
