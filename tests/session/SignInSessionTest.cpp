#include "SessionFixture.h"
#include "accounts/TQAccountManager.h"
#include "accounts/WXGMultiAccountManager.h"
#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "model/TQMOCManager.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdateScheduler.h"
#include "platform/gdata/OAuth2SignIn.h"
#include "platform/runtime/Timing.h"
#include "session/TQSessionManager.h"
#include "support/RecordedNotifications.h"
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
        qputenv("TAVREL_SERVICE_URL", m_account.service.baseUrl().toUtf8());
        TQAccountManager::registerManager();
        const auto* accounts = WXGMultiAccountManager::instance();
        m_account.service.setClientCredentials(accounts->clientID(), accounts->clientSecret());
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
    EXPECT_EQ(storedDocuments(*session), m_account.service.documentIds().size());

    // The shell, seeing the session stop, removes the account; the manager forgets the session.
    QObject::connect(session, &TQSession::stateChanged, &shell, [account = *signedIn](int state) {
        if (state == TQSession::kStopped)
            WXGMultiAccountManager::removeAccount(account, {});
    });
    session->logout();
    EXPECT_EQ(manager.currentSession(), nullptr);
    EXPECT_EQ(manager.sessionWithUsername(m_account.service.ownerEmail()), nullptr);
    EXPECT_TRUE(WXGMultiAccountManager::accounts().isEmpty());
}

// The whole road without a window: sign in, the first synchronisation, then what others do on the service
// arriving through the changes feed by the periodic synchronisation alone.
TEST_F(SignInSessionTest, ChangesOfOthersArriveThroughThePeriodicSynchronisation)
{
    Timing::Override tick(QString::fromLatin1(TQMOCMasterUpdateScheduler::kActiveAPPTimerInterval.name()),
                          20);
    Timing::Override interval(QString::fromLatin1(TQMOCMasterUpdateScheduler::kFastUpdateInterval.name()),
                              20);
    RecordedNotifications notifications;
    ASSERT_TRUE(notifications.active());

    std::optional<std::shared_ptr<WXAccount>> signedIn;
    WXGMultiAccountManager::addAccountWithCompletionBlock(
        [&](std::shared_ptr<WXAccount> account, const Error&) { signedIn = account; });
    ASSERT_TRUE(waitUntil([&] { return signedIn.has_value(); }, 10000));
    ASSERT_TRUE(*signedIn);

    TQSession session(*signedIn);
    StateRecorder recorder(&session);
    ASSERT_TRUE(startAndSettle(session));
    EXPECT_EQ(recorder.states, (QList<int>{1, 2, 5}));
    ASSERT_EQ(storedDocuments(session), m_account.service.documentIds().size());

    ManagedObjectContext* master = session.mocManager()->masterMOC();
    const auto stored = [&](const QString& resourceId) {
        return FileEntryAbstract::fileEntryAbstractWithIdentifier(
            FileEntryAbstract::identifierFromGDataResourceId(resourceId), master);
    };
    const auto shownTitles = [&](int count) {
        QList<Shown> shown;
        waitUntil(
            [&] {
                shown.append(notifications.takeAll());
                return shown.size() >= count;
            },
            10000);
        return shown;
    };

    // Someone shares a new document with the user.
    const QString shared = m_account.service.addDocument(
        QStringLiteral("Plan from Ann"), QStringLiteral("document"), QStringLiteral("ann@other.test"));
    ASSERT_TRUE(waitUntil([&] { return stored(shared) != nullptr; }, 10000));
    QList<Shown> shown = shownTitles(1);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().name, QStringLiteral("TQActionDidFinishNotification"));
    EXPECT_EQ(shown.first().title, QStringLiteral("Plan from Ann"));

    // They rename it.
    ASSERT_TRUE(m_account.service.renameDocument(shared, QStringLiteral("Plan, second draft")));
    ASSERT_TRUE(
        waitUntil([&] { return stored(shared)->title() == QStringLiteral("Plan, second draft"); }, 10000));
    shown = shownTitles(1);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().title, QStringLiteral("Plan, second draft"));

    // A document of the user's added and shared, then trashed and deleted for good.
    const QString own = m_account.service.addDocument(QStringLiteral("Minutes"));
    ASSERT_TRUE(waitUntil([&] { return stored(own) != nullptr; }, 10000));
    ASSERT_TRUE(
        m_account.service.shareDocument(own, QStringLiteral("bob@other.test"), QStringLiteral("writer")));
    ASSERT_TRUE(waitUntil(
        [&] {
            for (const auto& mail : stored(own)->editors())
                if (mail->address() == QStringLiteral("bob@other.test"))
                    return true;
            return false;
        },
        10000));
    ASSERT_TRUE(m_account.service.trashDocument(own));
    ASSERT_TRUE(waitUntil([&] { return stored(own)->isTrashed(); }, 10000));
    ASSERT_TRUE(m_account.service.deleteDocument(own));
    ASSERT_TRUE(waitUntil([&] { return stored(own) == nullptr; }, 10000));

    // The user's own changes are no news, and all of it came without a second full synchronisation.
    for (const Shown& extra : notifications.takeAll())
        ADD_FAILURE() << "unexpected notification: " << extra.title.toStdString() << " / "
                      << extra.message.toStdString();
    EXPECT_EQ(requestCount(QStringLiteral("GET"), kDocumentList), 1);
    EXPECT_EQ(storedDocuments(session), m_account.service.documentIds().size());
    ASSERT_TRUE(stopSynchronising(session));
}

} // namespace tavrel::test
