#include "platform/runtime/ThreadDispatch.h"

#include "support/WaitUntil.h"

#include <QThread>
#include <future>
#include <gtest/gtest.h>

namespace tavrel::test {

TEST(ThreadDispatch, WaitingOnTheMainThreadIsADirectCallThere)
{
    bool ran = false;
    ThreadDispatch::performOnMainThread([&] { ran = true; }, true);
    EXPECT_TRUE(ran);
    // Without waiting it runs after the current event.
    bool later = false;
    ThreadDispatch::performOnMainThread([&] { later = true; }, false);
    EXPECT_FALSE(later);
    EXPECT_TRUE(waitUntil([&] { return later; }));
}

TEST(ThreadDispatch, AWorkerGetsTheMainThreadsAnswer)
{
    std::future<std::pair<int, bool>> answer = std::async(std::launch::async, [] {
        return ThreadDispatch::callOnMainThread(
            [] { return std::make_pair(42, ThreadDispatch::isMainThread()); });
    });
    ASSERT_TRUE(
        waitUntil([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    const auto [value, onMain] = answer.get();
    EXPECT_EQ(value, 42);
    EXPECT_TRUE(onMain);
}

TEST(ThreadDispatch, TheMainThreadNeverBlocksOnAWorker)
{
    // The worker only starts its loop after the main thread has come back from the call: waiting
    // there would deadlock.
    std::promise<void> go;
    std::shared_future<void> goSignal = go.get_future().share();
    QThread worker;
    std::atomic<bool> ready{false};
    QObject::connect(&worker, &QThread::started, [&] {
        ThreadDispatch::contextForCurrentThread();
        ready = true;
        goSignal.wait();
    });
    worker.start();
    ASSERT_TRUE(waitUntil([&] { return ready.load(); }));
    std::atomic<bool> ran{false};
    EXPECT_TRUE(ThreadDispatch::performOnThread(
        &worker, [&] { ran = true; }, true));
    go.set_value();
    EXPECT_TRUE(waitUntil([&] { return ran.load(); }));
    worker.quit();
    worker.wait();
}

} // namespace tavrel::test
