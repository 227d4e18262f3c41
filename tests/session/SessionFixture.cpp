#include "SessionFixture.h"

#include "model/ContextFetch.h"
#include "model/TQMOCMaster.h"
#include "platform/runtime/OperationQueue.h"
#include "platform/store/FetchRequest.h"
#include "session/ApplicationServices.h"
#include "support/WaitUntil.h"

namespace tavrel::test {

StateRecorder::StateRecorder(TQSession* session)
{
    connect(session, &TQSession::stateChanged, this, [this](int state) { states.append(state); });
}

void ProgressScreen::progressStatus(int status, float processed, quint64 total, float percentage)
{
    received.append({status, processed, QVariant::fromValue(total), percentage});
}

void SessionTest::SetUp()
{
    AccountTest::SetUp();
    startAccount(TestAccount::smallAccount(), false);
    ASSERT_FALSE(HasFatalFailure());
    ApplicationServices* services = ApplicationServices::instance();
    services->resetForTesting();
    auto reachability = std::make_unique<SwitchableReachability>();
    m_reachability = reachability.get();
    services->mainApplicationWindowWillShow(std::move(reachability));
    setOnline(true);
}

void SessionTest::TearDown()
{
    m_account.service.clearFaults();
    ApplicationServices::instance()->resetForTesting();
    m_reachability = nullptr;
    AccountTest::TearDown();
}

void SessionTest::setOnline(bool online)
{
    m_reachability->report(online ? Reachability::ReachableViaNetwork : Reachability::NotReachable);
}

bool SessionTest::startAndSettle(TQSession& session, int timeoutMs)
{
    session.start();
    return waitUntil([&] { return session.state() != TQSession::kFirstSyncRunning; }, timeoutMs);
}

bool SessionTest::stopSynchronising(TQSession& session)
{
    session.mocManager()->stop();
    return waitUntil(
        [&] {
            return session.queueManager()->heavyQueue()->operationCount() == 0 &&
                   session.queueManager()->lightQueue()->operationCount() == 0;
        },
        10000);
}

int SessionTest::storedDocuments(TQSession& session) const
{
    FetchRequest request(QStringLiteral("FileEntryAbstract"));
    return int(ContextFetch::executeFetchRequestSafely(session.mocManager()->masterMOC(), request).size());
}

} // namespace tavrel::test
