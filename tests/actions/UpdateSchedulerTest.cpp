#include "SessionFixture.h"

#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdateScheduler.h"
#include "session/ApplicationServices.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

namespace tavrel::test {

namespace {

const QString kFast = TQMOCMaster::kFastUpdateOperationClass;

class UpdateSchedulerTest : public SessionTest
{
protected:
    TQMOCMasterUpdateScheduler* scheduler(TQSession& session) const
    {
        return session.mocManager()->masterMOC()->updateScheduler();
    }
    // The scheduler's own record of the last synchronisation it asked for.
    static QDateTime distantPast() { return QDateTime::fromMSecsSinceEpoch(0, Qt::UTC); }
};

} // namespace

TEST_F(UpdateSchedulerTest, TheTickSynchronisesInTheBackgroundWhileRunningAndOnline)
{
    Timing::Override tick("activeAPPTimerInterval", 20);
    Timing::Override interval("fastUpdateInterval", 20);
    TQSession session(makeAccount(m_service.ownerEmail()));
    ASSERT_TRUE(startAndSettle(session));
    ASSERT_EQ(session.state(), TQSession::kRunning);
    ASSERT_TRUE(waitUntil([] { return UpdateJournal::instance().count(kFast) >= 2; }, 10000));
    for (const UpdateRecord& record : UpdateJournal::instance().records()) {
        if (record.className != kFast)
            continue;
        EXPECT_FALSE(record.shouldSendNotification);
        EXPECT_TRUE(record.delegateIsMaster);
        EXPECT_EQ(record.username, m_service.ownerEmail());
    }
}

TEST_F(UpdateSchedulerTest, TheConnectionComingBackSynchronisesAtOnceAndPushesTheTickBack)
{
    TQSession session(makeAccount(m_service.ownerEmail()));
    ASSERT_TRUE(startAndSettle(session));
    TQMOCMasterUpdateScheduler* updates = scheduler(session);
    ASSERT_TRUE(updates->online());
    EXPECT_EQ(updates->lastUpdate(), distantPast());

    setOnline(false); // going offline starts nothing
    EXPECT_FALSE(updates->online());
    EXPECT_EQ(updates->lastUpdate(), distantPast());

    setOnline(true);
    const QDateTime back = updates->lastUpdate();
    EXPECT_GT(back, distantPast());
    ASSERT_TRUE(waitUntil([] { return UpdateJournal::instance().count(kFast) == 1; }, 10000));

    // A tick within the interval starts none; once the interval has passed it does.
    updates->activeAPPTimerFired();
    EXPECT_EQ(updates->lastUpdate(), back);
    Timing::Override interval("fastUpdateInterval", 0);
    updates->activeAPPTimerFired();
    EXPECT_GE(updates->lastUpdate(), back);
    ASSERT_TRUE(waitUntil([] { return UpdateJournal::instance().count(kFast) == 2; }, 10000));
}

TEST_F(UpdateSchedulerTest, AStoppedSchedulerStartsNothing)
{
    Timing::Override interval("fastUpdateInterval", 0);
    TQSession session(makeAccount(m_service.ownerEmail()));
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
    TQSession session(makeAccount(m_service.ownerEmail()));
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
