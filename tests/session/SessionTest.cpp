#include "SessionFixture.h"
#include "model/ContextFetch.h"
#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "model/TQMOCMaster.h"
#include "model/TQPlaces.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/store/FetchRequest.h"
#include "platform/system/DMTracker.h"
#include "platform/system/Paths.h"
#include "platform/system/Settings.h"
#include "session/ConnectionStatus.h"
#include "support/WaitUntil.h"

#include <QFile>
#include <gtest/gtest.h>

namespace tavrel::test {

namespace {

// Counts the usage events of session starts.
struct StartEvents : QObject
{
    StartEvents()
    {
        connect(DMTracker::defaultTracker(), &DMTracker::eventTracked, this,
                [this](const QString& category, const QString& name, const QString& value) {
                    if (category == QLatin1String("Action") && name == QLatin1String("Session") &&
                        value == QLatin1String("Start"))
                        ++count;
                });
    }
    int count = 0;
};

} // namespace

TEST_F(SessionTest, FirstStartSynchronisesInFullAndRuns)
{
    TQSession session(makeAccount(m_account.service.ownerEmail()));
    EXPECT_EQ(session.state(), TQSession::kStopped);
    EXPECT_EQ(session.username(), m_account.service.ownerEmail());
    ASSERT_NE(session.cacheManager(), nullptr);
    EXPECT_EQ(TQCacheManager::URLCacheBaseForSession(&session).toLocalFile(),
              TQPlaces::tavrelCacheDirectoryForUsername(m_account.service.ownerEmail()));
    ProgressScreen screen;
    session.setInitProgressConsumer(&screen);
    StateRecorder recorder(&session);
    StartEvents events;

    ASSERT_TRUE(startAndSettle(session));
    EXPECT_EQ(recorder.states, (QList<int>{1, 2, 5}));
    EXPECT_EQ(events.count, 1);
    EXPECT_EQ(requestCount(QStringLiteral("GET"), kDocumentList), 1);

    // Every resource of the service is in the store.
    const QStringList ids = m_account.service.documentIds();
    ASSERT_FALSE(ids.isEmpty());
    EXPECT_EQ(storedDocuments(session), ids.size());
    for (const QString& id : ids)
        EXPECT_TRUE(FileEntryAbstract::fileEntryAbstractWithIdentifier(
            FileEntryAbstract::identifierFromGDataResourceId(id), session.mocManager()->masterMOC()))
            << id.toStdString();
    FetchRequest contacts(QStringLiteral("Contact"));
    EXPECT_EQ(ContextFetch::executeFetchRequestSafely(session.mocManager()->masterMOC(), contacts).size(), 2);
    EXPECT_FALSE(session.mocManager()->shouldCreateMasterContext());
    EXPECT_FALSE(screen.received.isEmpty());

    // Starting again while running changes nothing and reports nothing.
    session.start();
    EXPECT_EQ(recorder.states, (QList<int>{1, 2, 5}));
    EXPECT_EQ(events.count, 1);
}

TEST_F(SessionTest, AFilledStoreStartsStraightIntoRunning)
{
    const auto account = makeAccount(m_account.service.ownerEmail());
    {
        TQSession first(account);
        ASSERT_TRUE(startAndSettle(first));
        ASSERT_EQ(first.state(), TQSession::kRunning);
        first.stop();
        EXPECT_EQ(first.state(), TQSession::kStopped);
    }
    m_account.service.clearJournal();
    TQSession session(account);
    StateRecorder recorder(&session);
    session.start();
    EXPECT_EQ(recorder.states, (QList<int>{1, 5}));
    EXPECT_EQ(requestCount(QStringLiteral("GET"), kDocumentList), 0);

    // Stop once notifies once; stopping a stopped session notifies nobody.
    session.logout();
    session.stop();
    EXPECT_EQ(recorder.states, (QList<int>{1, 5, 0}));
}

TEST_F(SessionTest, AFailedFirstSynchronisationLeavesAnEmptyStoreAndTheNextStartSynchronisesInFull)
{
    localservice::Fault fault;
    fault.kind = localservice::Fault::Status;
    fault.status = 403;
    fault.method = QStringLiteral("GET");
    fault.pathPattern = QStringLiteral("/feeds/default/private/expandAcl");
    fault.count = 100;
    m_account.service.addFault(fault);

    TQSession session(makeAccount(m_account.service.ownerEmail()));
    StateRecorder recorder(&session);
    ASSERT_TRUE(startAndSettle(session));
    EXPECT_EQ(recorder.states, (QList<int>{1, 2, 3}));
    EXPECT_EQ(storedDocuments(session), 0);

    m_account.service.clearFaults();
    ASSERT_TRUE(startAndSettle(session));
    EXPECT_EQ(recorder.states, (QList<int>{1, 2, 3, 1, 2, 5}));
    EXPECT_EQ(storedDocuments(session), m_account.service.documentIds().size());
}

// A store left midway by a full synchronisation (killed, quit) holds records but no changestamp: the
// next start completes the full synchronisation, and a start whose run fails keeps what the store held.
TEST_F(SessionTest, AStoreWhoseFullSynchronisationNeverCompletedCompletesItOnTheNextStart)
{
    const auto account = makeAccount(m_account.service.ownerEmail());
    const QString stampKey = QStringLiteral("TQlargestChangestamp") + m_account.service.ownerEmail();
    const int all = int(m_account.service.documentIds().size());
    {
        TQSession first(account);
        ASSERT_TRUE(startAndSettle(first));
        ASSERT_EQ(first.state(), TQSession::kRunning);
        ASSERT_TRUE(stopSynchronising(first));
        TQMOCMaster* master = first.mocManager()->masterMOC();
        const auto files =
            ContextFetch::executeFetchRequestSafely(master, FetchRequest(QStringLiteral("File")));
        ASSERT_GE(files.size(), 3);
        for (qsizetype i = 1; i < files.size(); ++i)
            master->deleteObject(files.at(i));
        master->save();
        first.stop();
    }
    Settings::remove(stampKey);

    localservice::Fault fault;
    fault.kind = localservice::Fault::Status;
    fault.status = 403;
    fault.method = QStringLiteral("GET");
    fault.pathPattern = QStringLiteral("/feeds/default/private/expandAcl");
    fault.count = 100;
    m_account.service.addFault(fault);
    TQSession session(account);
    StateRecorder recorder(&session);
    ASSERT_TRUE(startAndSettle(session));
    EXPECT_EQ(recorder.states, (QList<int>{1, 2, 3}));
    const int kept = storedDocuments(session);
    EXPECT_GT(kept, 0) << "a failed run removes nothing";
    EXPECT_LT(kept, all);

    m_account.service.clearFaults();
    ASSERT_TRUE(startAndSettle(session));
    EXPECT_EQ(recorder.states, (QList<int>{1, 2, 3, 1, 2, 5}));
    EXPECT_EQ(storedDocuments(session), all);
    EXPECT_EQ(Settings::value(stampKey).toLongLong(), m_account.service.largestChangestamp());
}

TEST_F(SessionTest, LosingTheConnectionDuringTheFirstSynchronisationCancelsItAndEmptiesTheStore)
{
    localservice::Fault hang;
    hang.kind = localservice::Fault::Hang;
    hang.method = QStringLiteral("GET");
    hang.pathPattern = QStringLiteral("/feeds/default/private/expandAcl");
    m_account.service.addFault(hang);

    TQSession session(makeAccount(m_account.service.ownerEmail()));
    StateRecorder recorder(&session);
    session.start();
    ASSERT_TRUE(waitUntil([&] { return m_account.service.hangingRequests() == 1; }, 10000));
    EXPECT_EQ(session.state(), TQSession::kFirstSyncRunning);

    setOnline(false);
    EXPECT_EQ(session.state(), TQSession::kConnectionLost);
    EXPECT_EQ(storedDocuments(session), 0);
    EXPECT_TRUE(
        session.queueManager()->operationsMatchingName(TQMOCMaster::kFullUpdateOperationClass).isEmpty());

    // Coming back does not restart by itself; the next start synchronises in full.
    m_account.service.clearFaults();
    setOnline(true);
    EXPECT_EQ(session.state(), TQSession::kConnectionLost);
    ASSERT_TRUE(startAndSettle(session));
    EXPECT_EQ(recorder.states, (QList<int>{1, 2, 4, 1, 2, 5}));
    EXPECT_EQ(storedDocuments(session), m_account.service.documentIds().size());
}

TEST_F(SessionTest, ConnectionChangesOutsideTheFirstSynchronisationChangeNothing)
{
    TQSession session(makeAccount(m_account.service.ownerEmail()));
    StateRecorder recorder(&session);
    const auto post = [](qint64 status) {
        NotificationCenter::defaultCenter().post(ConnectionStatus::kCordelConnectionStatusChanged,
                                                 QVariant(status));
    };
    post(1); // stopped
    ASSERT_TRUE(startAndSettle(session));
    post(1); // running
    post(0);
    EXPECT_EQ(recorder.states, (QList<int>{1, 2, 5}));
    EXPECT_EQ(storedDocuments(session), m_account.service.documentIds().size());
}

TEST_F(SessionTest, SessionWithoutAccountIsNothing)
{
    EXPECT_EQ(TQSession::sessionWithAccount(nullptr), nullptr);
}

TEST_F(SessionTest, ProgressReachesOnlyAConsumerThatResponds)
{
    TQSession session(makeAccount(m_account.service.ownerEmail()));
    session.progressStatus(1, 2.f, 3, 4.f); // no consumer: nothing
    QObject mute;
    session.setInitProgressConsumer(&mute);
    session.progressStatus(1, 2.f, 3, 4.f);
    ProgressScreen screen;
    session.setInitProgressConsumer(&screen);
    session.progressStatus(7, 2.5f, 10, 25.f);
    ASSERT_EQ(screen.received.size(), 1);
    EXPECT_EQ(screen.received[0], (QVariantList{7, 2.5f, QVariant::fromValue(quint64(10)), 25.f}));
}

TEST_F(SessionTest, CleanStopsAndEmptiesTheStore)
{
    TQSession session(makeAccount(m_account.service.ownerEmail()));
    ASSERT_TRUE(startAndSettle(session));
    ASSERT_GT(storedDocuments(session), 0);
    session.clean();
    EXPECT_EQ(session.state(), TQSession::kStopped);
    EXPECT_EQ(storedDocuments(session), 0);
    EXPECT_TRUE(session.mocManager()->shouldCreateMasterContext());
}

} // namespace tavrel::test
