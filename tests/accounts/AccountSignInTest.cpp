#include "LocalService.h"
#include "accounts/TQAccount.h"
#include "accounts/TQAccountManager.h"
#include "accounts/WXGMultiAccountFileManager.h"
#include "platform/gdata/OAuth2SignIn.h"
#include "platform/system/Paths.h"
#include "support/TempHome.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <optional>

namespace tavrel::test {
namespace {

// Signs in through the manager against the local service, the test playing the browser (and the user).
class AccountSignInTest : public TempHomeTest
{
protected:
    enum class User { Accepts, Refuses, GivesUp };

    void SetUp() override
    {
        TempHomeTest::SetUp();
        QString reason;
        ASSERT_TRUE(m_service.start(0, &reason)) << reason.toStdString();
        qputenv("TAVREL_SERVICE_URL", m_service.baseUrl().toUtf8());
        TQAccountManager::registerManager();
        const auto* manager = WXGMultiAccountManager::instance();
        m_service.setClientCredentials(manager->clientID(), manager->clientSecret());
        OAuth2SignIn::setDefaultBrowserOpener([this](const QUrl& url) { playBrowser(url); });
    }

    void TearDown() override
    {
        OAuth2SignIn::setDefaultBrowserOpener({});
        qunsetenv("TAVREL_SERVICE_URL");
        m_service.stop();
        TempHomeTest::TearDown();
    }

    void playBrowser(const QUrl& url)
    {
        if (m_user == User::GivesUp) {
            WXGMultiAccountManager::cancelSignIn();
            return;
        }
        m_service.setAuthorizationDenied(m_user == User::Refuses);
        const QUrl target = url;
        QNetworkReply* reply = m_browser.get(QNetworkRequest(target));
        QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
    }

    struct Outcome
    {
        std::shared_ptr<WXAccount> account;
        Error error;
    };
    Outcome addAccount(User user)
    {
        m_user = user;
        std::optional<Outcome> outcome;
        WXGMultiAccountManager::addAccountWithCompletionBlock(
            [&outcome](std::shared_ptr<WXAccount> account, const Error& error) {
                outcome = Outcome{account, error};
            });
        EXPECT_TRUE(waitUntil([&] { return outcome.has_value(); }, 10000));
        return outcome.value_or(Outcome{});
    }

    static QByteArray archive()
    {
        QFile file(Paths::accountsFolder() + QStringLiteral("/GWXAccounts.sic"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    localservice::LocalService m_service;
    QNetworkAccessManager m_browser;
    User m_user = User::Accepts;
};

TEST_F(AccountSignInTest, SignedInAccountIsFiledOnceAndStored)
{
    const Outcome first = addAccount(User::Accepts);
    ASSERT_TRUE(first.error.isNull()) << first.error.description().toStdString();
    ASSERT_TRUE(first.account);
    EXPECT_EQ(first.account->identifier(), m_service.ownerEmail());
    EXPECT_NE(dynamic_cast<TQAccount*>(first.account.get()), nullptr);
    EXPECT_EQ(WXGMultiAccountManager::defaultAccount(), first.account);

    Error error;
    auto stored = WXGMultiAccountFileManager::fileManager()->restoreAccountsWithError(&error);
    ASSERT_TRUE(stored.has_value());
    ASSERT_EQ(stored->size(), 1);
    EXPECT_EQ(stored->first()->identifier(), m_service.ownerEmail());
    EXPECT_EQ(stored->first()->authToken()->refreshToken(), first.account->authToken()->refreshToken());

    // The same person again: refused, and neither the list nor the file changes.
    const QByteArray before = archive();
    const Outcome again = addAccount(User::Accepts);
    EXPECT_FALSE(again.account);
    EXPECT_EQ(again.error.domain(), QStringLiteral("com.WXGMultiAccountManager.AccountManagerErrorDomain"));
    EXPECT_EQ(again.error.code(), 235);
    EXPECT_EQ(again.error.localizedDescription(), QStringLiteral("The account already exist exist"));
    EXPECT_EQ(WXGMultiAccountManager::accounts().size(), 1);
    EXPECT_EQ(archive(), before);
}

TEST_F(AccountSignInTest, ClosedSignInReportsNothing)
{
    for (User user : {User::Refuses, User::GivesUp}) {
        SCOPED_TRACE(user == User::Refuses ? "refused" : "gave up");
        const Outcome outcome = addAccount(user);
        EXPECT_FALSE(outcome.account);
        EXPECT_TRUE(outcome.error.isNull()) << outcome.error.description().toStdString();
        EXPECT_TRUE(WXGMultiAccountManager::accounts().isEmpty());
        EXPECT_FALSE(QFile::exists(Paths::accountsFolder() + QStringLiteral("/GWXAccounts.sic")));
    }
}

TEST_F(AccountSignInTest, OtherSignInErrorsArePassedOn)
{
    // The code is refused by the token endpoint.
    localservice::Fault refuse;
    refuse.pathPattern = QStringLiteral("^/o/oauth2/token$");
    refuse.status = 400;
    m_service.addFault(refuse);
    const Outcome outcome = addAccount(User::Accepts);
    EXPECT_FALSE(outcome.account);
    EXPECT_EQ(outcome.error.code(), 400);
    EXPECT_TRUE(WXGMultiAccountManager::accounts().isEmpty());
}

TEST_F(AccountSignInTest, AccountThatCannotBeStoredIsNotKept)
{
    // A folder where the archive should be: the write fails.
    ASSERT_TRUE(QDir().mkpath(Paths::accountsFolder() + QStringLiteral("/GWXAccounts.sic")));
    const Outcome outcome = addAccount(User::Accepts);
    EXPECT_FALSE(outcome.account);
    EXPECT_EQ(outcome.error.domain(), QStringLiteral("com.WXGMultiAccountManager.DataManagerErrorDomain"));
    EXPECT_EQ(outcome.error.code(), 984);
    EXPECT_TRUE(WXGMultiAccountManager::accounts().isEmpty());
}

} // namespace
} // namespace tavrel::test
