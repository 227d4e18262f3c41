#include "SessionFixture.h"
#include "actions/FastCoreDataUpdateOperation.h"
#include "model/FileEntryAbstract.h"
#include "model/TQMOCMaster.h"
#include "model/TQPlaces.h"
#include "platform/system/Settings.h"
#include "session/TQSessionManager.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace tavrel::test {

namespace {

const QString kSecond = QStringLiteral("second@tavrel.test");

class SessionManagerTest : public SessionTest
{
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        m_manager = std::make_unique<TQSessionManager>();
        QObject::connect(m_manager.get(), &TQSessionManager::currentSessionChanged, m_manager.get(),
                         [this](TQSession* session) { m_current.append(session); });
        QObject::connect(m_manager.get(), &TQSessionManager::activeSessionsChanged, m_manager.get(),
                         [this] { m_active.append(m_manager->activeSessions().size()); });
    }
    void TearDown() override
    {
        m_manager.reset();
        SessionTest::TearDown();
    }

    // Starts a session and waits for its first synchronisation.
    TQSession* start(const QString& email)
    {
        TQSession* started = nullptr;
        int calls = 0;
        m_manager->startSessionForAccount(makeAccount(email), [&](TQSession* session, const Error& error) {
            ++calls;
            EXPECT_TRUE(error.isNull());
            started = session;
        });
        EXPECT_EQ(calls, 1);
        if (started)
            waitUntil([&] { return started->state() == TQSession::kRunning; }, 10000);
        return started;
    }

    std::unique_ptr<TQSessionManager> m_manager;
    QList<TQSession*> m_current;
    QList<qsizetype> m_active;
};

} // namespace

TEST_F(SessionManagerTest, TwoAccountsHaveSeparateSessionsAndStores)
{
    TQSession* first = start(m_account.service.ownerEmail());
    ASSERT_TRUE(first);
    EXPECT_EQ(first->state(), TQSession::kRunning);
    const int documents = storedDocuments(*first);
    ASSERT_GT(documents, 1);

    // The service changes before the second account's first synchronisation.
    ASSERT_TRUE(m_account.service.deleteDocument(m_account.service.documentIds().first()));
    TQSession* second = start(kSecond);
    ASSERT_TRUE(second);
    EXPECT_NE(first, second);
    EXPECT_EQ(m_manager->currentSession(), second);
    EXPECT_EQ(m_current, (QList<TQSession*>{first, second}));
    EXPECT_EQ(m_active, (QList<qsizetype>{1, 2}));
    EXPECT_EQ(m_manager->sessionWithUsername(m_account.service.ownerEmail()), first);
    EXPECT_EQ(m_manager->sessionWithUsername(kSecond), second);

    EXPECT_EQ(storedDocuments(*first), documents);
    EXPECT_EQ(storedDocuments(*second), documents - 1);
    const QString firstStore = TQPlaces::tavrelPeristentStoreCoordinatorForUsername(first->username());
    const QString secondStore = TQPlaces::tavrelPeristentStoreCoordinatorForUsername(second->username());
    EXPECT_NE(firstStore, secondStore);
    EXPECT_TRUE(QFile::exists(firstStore));
    EXPECT_TRUE(QFile::exists(secondStore));

    // Each account goes on from its own changestamp: a change synchronised into one account moves
    // only that account's stamp and reaches only its store.
    const auto stamp = [](TQSession* session) {
        return Settings::value(
                   FastCoreDataUpdateOperation::kLargestChangestampKeyFormat.arg(session->username()))
            .toLongLong();
    };
    const qint64 secondStamp = stamp(second);
    ASSERT_EQ(secondStamp, m_account.service.largestChangestamp());
    const QString id = m_account.service.documentIds().first();
    ASSERT_TRUE(m_account.service.renameDocument(id, QStringLiteral("Only the first knows")));
    first->mocManager()->masterMOC()->fastUpdate();
    ASSERT_TRUE(waitUntil([&] { return stamp(first) == m_account.service.largestChangestamp(); }, 10000));
    EXPECT_GT(stamp(first), secondStamp);
    EXPECT_EQ(stamp(second), secondStamp);
    const auto title = [&](TQSession* session) {
        const auto record = FileEntryAbstract::fileEntryAbstractWithIdentifier(
            FileEntryAbstract::identifierFromGDataResourceId(id), session->mocManager()->masterMOC());
        return record ? record->title() : QString();
    };
    EXPECT_TRUE(waitUntil([&] { return title(first) == QLatin1String("Only the first knows"); }, 10000));
    EXPECT_NE(title(second), QLatin1String("Only the first knows"));
    EXPECT_TRUE(stopSynchronising(*first));
}

TEST_F(SessionManagerTest, StartingAUserAgainReplacesAndStopsTheOlderSession)
{
    TQSession* older = start(m_account.service.ownerEmail());
    ASSERT_TRUE(older);
    StateRecorder recorder(older);
    TQSession* newer = start(m_account.service.ownerEmail());
    ASSERT_TRUE(newer);
    EXPECT_EQ(recorder.states, (QList<int>{0}));
    EXPECT_EQ(m_manager->activeSessions(), (QList<TQSession*>{newer}));
    EXPECT_EQ(m_manager->currentSession(), newer);
}

TEST_F(SessionManagerTest, StoppedSessionsAreDroppedAndAnotherBecomesCurrent)
{
    TQSession* first = start(m_account.service.ownerEmail());
    TQSession* second = start(kSecond);
    ASSERT_TRUE(first && second);
    m_current.clear();

    // Unknown names change nothing; known ones switch.
    m_manager->switchToSessionWithUsername(QStringLiteral("nobody@tavrel.test"));
    EXPECT_EQ(m_manager->currentSession(), second);
    m_manager->switchToSessionWithUsername(m_account.service.ownerEmail());
    EXPECT_EQ(m_manager->currentSession(), first);
    m_manager->switchToSessionWithUsername(kSecond);

    // Stopping a session that is not current leaves the current one.
    first->stop();
    EXPECT_EQ(m_manager->currentSession(), second);
    EXPECT_EQ(m_manager->sessionWithUsername(m_account.service.ownerEmail()), nullptr);
    EXPECT_EQ(m_manager->activeSessions(), (QList<TQSession*>{second}));

    // Logging out of the last one leaves none.
    m_current.clear();
    second->logout();
    EXPECT_EQ(m_manager->currentSession(), nullptr);
    EXPECT_EQ(m_current, (QList<TQSession*>{nullptr}));
    EXPECT_TRUE(m_manager->activeSessions().isEmpty());
    EXPECT_EQ(m_manager->sessionWithUsername(kSecond), nullptr);
}

TEST_F(SessionManagerTest, ObserversOfTheCurrentSessionMayReadTheManager)
{
    TQSession* first = start(m_account.service.ownerEmail());
    start(kSecond);
    QList<qsizetype> seen;
    QObject::connect(m_manager.get(), &TQSessionManager::currentSessionChanged, m_manager.get(),
                     [&](TQSession* session) {
                         seen.append(m_manager->activeSessions().size());
                         if (session) {
                             EXPECT_EQ(m_manager->sessionWithUsername(session->username()), session);
                         }
                     });
    m_manager->sessionWithUsername(kSecond)->stop();
    EXPECT_EQ(seen, (QList<qsizetype>{1}));
    EXPECT_EQ(m_manager->currentSession(), first);
}

TEST_F(SessionManagerTest, NoAccountIsAnError)
{
    int calls = 0;
    m_manager->startSessionForAccount(nullptr, [&](TQSession* session, const Error& error) {
        ++calls;
        EXPECT_EQ(session, nullptr);
        EXPECT_EQ(error.domain(), QStringLiteral("TQSessionManagerDomain"));
        EXPECT_EQ(error.code(), -100);
    });
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(m_current.isEmpty());
    EXPECT_TRUE(m_active.isEmpty());
}

TEST_F(SessionManagerTest, ASessionStillInItsFirstSynchronisationIsFiledAndCurrent)
{
    localservice::Fault hang;
    hang.kind = localservice::Fault::Hang;
    hang.method = QStringLiteral("GET");
    hang.pathPattern = QStringLiteral("/feeds/default/private/expandAcl");
    m_account.service.addFault(hang);
    TQSession* filed = nullptr;
    m_manager->startSessionForAccount(makeAccount(m_account.service.ownerEmail()),
                                      [&](TQSession* session, const Error&) { filed = session; });
    ASSERT_TRUE(filed);
    EXPECT_EQ(filed->state(), TQSession::kFirstSyncRunning);
    EXPECT_EQ(m_manager->currentSession(), filed);
    // Losing the connection there keeps it filed (state 4 is no stop).
    setOnline(false);
    EXPECT_EQ(filed->state(), TQSession::kConnectionLost);
    EXPECT_EQ(m_manager->currentSession(), filed);
    m_account.service.clearFaults();
}

TEST_F(SessionManagerTest, AnAddressThatIsNoFolderNameStillSignsInWithAStoreOfItsOwn)
{
    const QStringList addresses = {QStringLiteral("/"), QStringLiteral(".."), QStringLiteral("../x"),
                                   QStringLiteral("a/../../b@tavrel.test"),
                                   QString(300, QLatin1Char('l')) + QStringLiteral("@tavrel.test")};
    const QString support = TQPlaces::tavrelApplicationSupportDirectory();
    QDir().mkpath(support);
    const QStringList before =
        QDir(QFileInfo(support).path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QStringList stores;
    for (const QString& address : addresses) {
        SCOPED_TRACE(address.left(40).toStdString());
        TQSession* session = start(address);
        ASSERT_TRUE(session);
        EXPECT_EQ(session->state(), TQSession::kRunning);
        const QString store = TQPlaces::tavrelPeristentStoreCoordinatorForUsername(address);
        EXPECT_TRUE(QFile::exists(store));
        // One folder right inside the support folder.
        EXPECT_EQ(QFileInfo(QFileInfo(store).path()).path(), support);
        stores.append(store);
    }
    stores.removeDuplicates();
    EXPECT_EQ(stores.size(), addresses.size());
    // Nothing beside the support folder.
    EXPECT_EQ(QDir(QFileInfo(support).path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

} // namespace tavrel::test
