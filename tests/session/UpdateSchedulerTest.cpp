#include "SessionFixture.h"
#include "actions/FastCoreDataUpdateOperation.h"
#include "model/FileEntryAbstract.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdateScheduler.h"
#include "platform/runtime/NotificationCenter.h"
#include "session/ApplicationServices.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

namespace tavrel::test {

namespace {

class UpdateSchedulerTest : public SessionTest
{
protected:
    TQMOCMasterUpdateScheduler* scheduler(TQSession& session) const
    {
        return session.mocManager()->masterMOC()->updateScheduler();
    }
    // The scheduler's own record of the last synchronisation it asked for.
    static QDateTime distantPast() { return QDateTime::fromMSecsSinceEpoch(0, Qt::UTC); }
    // Incremental synchronisations since the journal was last cleared (each asks for the changes).
    int changeRequests() const { return requestCount(QStringLiteral("GET"), kChanges); }
    // Counts the incremental synchronisations' started notifications.
    void countStartedNotifications(QObject* context, int* count)
    {
        NotificationCenter::defaultCenter().addObserver(
            context, FastCoreDataUpdateOperation::kStartedNotification, QVariant(),
            [count](const Notification&) { ++*count; });
    }
};

} // namespace

TEST_F(UpdateSchedulerTest, TheTickSynchronisesInTheBackgroundWhileRunningAndOnline)
{
    Timing::Override tick("activeAPPTimerInterval", 20);
    Timing::Override interval("fastUpdateInterval", 20);
    TQSession session(makeAccount(m_account.service.ownerEmail()));
    QObject context;
    int started = 0;
    countStartedNotifications(&context, &started);
    ASSERT_TRUE(startAndSettle(session));
    ASSERT_EQ(session.state(), TQSession::kRunning);
    m_account.service.clearJournal();
    ASSERT_TRUE(waitUntil([&] { return changeRequests() >= 2; }, 10000));
    // Background synchronisations announce nothing; a requested one does.
    EXPECT_EQ(started, 0);
    session.mocManager()->masterMOC()->fastUpdate();
    EXPECT_TRUE(waitUntil([&] { return started == 1; }, 10000));
    EXPECT_TRUE(stopSynchronising(session));
}

TEST_F(UpdateSchedulerTest, AChangeOnTheServiceReachesTheStoreOnTheNextTick)
{
    Timing::Override tick("activeAPPTimerInterval", 20);
    Timing::Override interval("fastUpdateInterval", 20);
    TQSession session(makeAccount(m_account.service.ownerEmail()));
    ASSERT_TRUE(startAndSettle(session));
    const QString id = m_account.service.documentIds().first();
    ASSERT_TRUE(m_account.service.renameDocument(id, QStringLiteral("Renamed elsewhere")));
    const auto record = FileEntryAbstract::fileEntryAbstractWithIdentifier(
        FileEntryAbstract::identifierFromGDataResourceId(id), session.mocManager()->masterMOC());
    ASSERT_TRUE(record);
    EXPECT_TRUE(waitUntil([&] { return record->title() == QLatin1String("Renamed elsewhere"); }, 10000));
    EXPECT_TRUE(stopSynchronising(session));
}

TEST_F(UpdateSchedulerTest, TheConnectionComingBackSynchronisesAtOnceAndPushesTheTickBack)
{
    TQSession session(makeAccount(m_account.service.ownerEmail()));
    ASSERT_TRUE(startAndSettle(session));
    m_account.service.clearJournal();
    TQMOCMasterUpdateScheduler* updates = scheduler(session);
    ASSERT_TRUE(updates->online());
    EXPECT_EQ(updates->lastUpdate(), distantPast());

    setOnline(false); // going offline starts nothing
    EXPECT_FALSE(updates->online());
    EXPECT_EQ(updates->lastUpdate(), distantPast());

    setOnline(true);
    const QDateTime back = updates->lastUpdate();
    EXPECT_GT(back, distantPast());
    ASSERT_TRUE(waitUntil([&] { return changeRequests() == 1; }, 10000));
    ASSERT_TRUE(stopSynchronising(session));
    session.mocManager()->start();

    // A tick within the interval starts none; once the interval has passed it does.
    updates->activeAPPTimerFired();
    EXPECT_EQ(updates->lastUpdate(), back);
    Timing::Override interval("fastUpdateInterval", 0);
    updates->activeAPPTimerFired();
    EXPECT_GE(updates->lastUpdate(), back);
    ASSERT_TRUE(waitUntil([&] { return changeRequests() == 2; }, 10000));
    EXPECT_TRUE(stopSynchronising(session));
}

TEST_F(UpdateSchedulerTest, AStoppedSchedulerStartsNothing)
{
    Timing::Override interval("fastUpdateInterval", 0);
    TQSession session(makeAccount(m_account.service.ownerEmail()));
    TQMOCMasterUpdateScheduler* updates = scheduler(session);
    const auto nothingHappens = [&] {
        updates->activeAPPTimerFired();
        setOnline(false);
        setOnline(true);
        EXPECT_EQ(updates->lastUpdate(), distantPast());
    };
    nothingHappens(); // never started
    ASSERT_TRUE(startAndSettle(session));
    session.stop();
    EXPECT_FALSE(updates->isActive());
    nothingHappens(); // stopped
}

TEST_F(UpdateSchedulerTest, FollowsAConnectionStatusMadeAfterIt)
{
    ApplicationServices::instance()->resetForTesting();
    TQSession session(makeAccount(m_account.service.ownerEmail()));
    TQMOCMasterUpdateScheduler* updates = scheduler(session);
    EXPECT_FALSE(updates->online());
    session.startSessionManagers();

    auto reachability = std::make_unique<SwitchableReachability>();
    SwitchableReachability* watcher = reachability.get();
    ApplicationServices::instance()->mainApplicationWindowWillShow(std::move(reachability));
    EXPECT_FALSE(updates->online());
    watcher->report(Reachability::ReachableViaNetwork);
    EXPECT_TRUE(updates->online());
    EXPECT_GT(updates->lastUpdate(), distantPast());

    // The status going away is no change to offline.
    ApplicationServices::instance()->resetForTesting();
    EXPECT_TRUE(updates->online());
}

} // namespace tavrel::test
