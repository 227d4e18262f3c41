#include "SessionFixture.h"
#include "actions/TQSessionManager.h"
#include "platform/gdata/OAuth2SignIn.h"
#include "session/TQAccountManager.h"
#include "session/WXGMultiAccountManager.h"
#include "support/WaitUntil.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <gtest/gtest.h>
#include <optional>

namespace tavrel::test {

namespace {

// Signs in as a user would, the test playing the browser, then lives the session of that account.
class SignInSessionTest : public SessionTest
{
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        qputenv("TAVREL_SERVICE_URL", m_service.baseUrl().toUtf8());
        TQAccountManager::registerManager();
        const auto* accounts = WXGMultiAccountManager::instance();
        m_service.setClientCredentials(accounts->clientID(), accounts->clientSecret());
        OAuth2SignIn::setDefaultBrowserOpener([this](const QUrl& url) {
            QNetworkReply* reply = m_browser.get(QNetworkRequest(url));
            QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
        });
    }
    void TearDown() override
    {
        OAuth2SignIn::setDefaultBrowserOpener({});
        qunsetenv("TAVREL_SERVICE_URL");
        SessionTest::TearDown();
    }

    QNetworkAccessManager m_browser;
};

} // namespace

TEST_F(SignInSessionTest, ASignedInAccountSynchronisesAndLogsOut)
{
    std::optional<std::shared_ptr<WXAccount>> signedIn;
    WXGMultiAccountManager::addAccountWithCompletionBlock(
        [&](std::shared_ptr<WXAccount> account, const Error& error) {
            EXPECT_TRUE(error.isNull()) << error.description().toStdString();
            signedIn = account;
        });
    ASSERT_TRUE(waitUntil([&] { return signedIn.has_value(); }, 10000));
    ASSERT_TRUE(*signedIn);

    TQSessionManager manager;
    QObject shell;
    TQSession* session = nullptr;
    QList<int> states;
    manager.startSessionForAccount(*signedIn, [&](TQSession* started, const Error& error) {
        EXPECT_TRUE(error.isNull());
        session = started;
    });
    ASSERT_TRUE(session);
    QObject::connect(session, &TQSession::stateChanged, &shell, [&](int state) { states.append(state); });
    ASSERT_TRUE(waitUntil([&] { return session->state() == TQSession::kRunning; }, 10000));
    EXPECT_EQ(states, (QList<int>{5}));
    EXPECT_EQ(storedDocuments(*session), m_service.documentIds().size());

    // The shell, seeing the session stop, removes the account; the manager forgets the session.
    QObject::connect(session, &TQSession::stateChanged, &shell, [account = *signedIn](int state) {
        if (state == TQSession::kStopped)
            WXGMultiAccountManager::removeAccount(account, {});
    });
    session->logout();
    EXPECT_EQ(manager.currentSession(), nullptr);
    EXPECT_EQ(manager.sessionWithUsername(m_service.ownerEmail()), nullptr);
    EXPECT_TRUE(WXGMultiAccountManager::accounts().isEmpty());
}

} // namespace tavrel::test
