#include "platform/runtime/OperationQueue.h"

#include "platform/runtime/BlockOperation.h"
#include "platform/runtime/ThreadDispatch.h"
#include "support/WaitUntil.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTcpServer>
#include <QTcpSocket>
#include <atomic>
#include <gtest/gtest.h>
#include <mutex>

namespace tavrel::test {

namespace {

// An operation that waits in its event loop until released (or cancelled), as an operation waiting
// for a service callback does.
class GatedOperation : public Operation
{
public:
    explicit GatedOperation(std::atomic<int>* running = nullptr, std::atomic<int>* maxSeen = nullptr)
        : m_running(running), m_maxSeen(maxSeen)
    {}
    void release()
    {
        m_released = true;
        wakeUp();
    }
    std::atomic<bool> started{false};
    std::atomic<bool> sawCancel{false};

protected:
    void main() override
    {
        if (m_running) {
            const int now = ++*m_running;
            int seen = m_maxSeen->load();
            while (now > seen && !m_maxSeen->compare_exchange_weak(seen, now)) {
            }
        }
        started = true;
        waitUntil([this] { return m_released.load(); }, -1, 1000);
        sawCancel = isCancelled();
        if (m_running)
            --*m_running;
    }

private:
    std::atomic<int>* m_running;
    std::atomic<int>* m_maxSeen;
    std::atomic<bool> m_released{false};
};

} // namespace

TEST(OperationQueue, RunsByPriorityThenInOrderOfArrival)
{
    OperationQueue queue;
    queue.setMaxConcurrentOperationCount(1);
    queue.setSuspended(true);
    std::mutex mutex;
    QStringList order;
    const struct
    {
        const char* name;
        int priority;
    } rows[] = {{"a0", 0}, {"b4", 4}, {"c0", 0}, {"d8", 8}, {"e-4", -4}, {"f4", 4}};
    QList<OperationPtr> operations;
    for (const auto& row : rows) {
        auto operation = std::make_shared<BlockOperation>([&, name = QString::fromLatin1(row.name)] {
            std::lock_guard lock(mutex);
            order << name;
        });
        operation->setQueuePriority(row.priority);
        operations << operation;
        queue.addOperation(operation);
    }
    const QStringList expected{"d8", "b4", "f4", "a0", "c0", "e-4"};
    QStringList planned;
    for (const auto& operation : queue.operations())
        planned << QString::fromLatin1(rows[operations.indexOf(operation)].name);
    EXPECT_EQ(planned, expected);

    queue.setSuspended(false);
    ASSERT_TRUE(waitUntil([&] { return queue.operationCount() == 0; }));
    std::lock_guard lock(mutex);
    EXPECT_EQ(order, expected);
}

TEST(OperationQueue, NeverRunsMoreThanItsMaximumAtOnce)
{
    OperationQueue queue;
    queue.setMaxConcurrentOperationCount(3);
    std::atomic<int> running{0};
    std::atomic<int> maxSeen{0};
    QList<std::shared_ptr<GatedOperation>> operations;
    for (int i = 0; i < 10; ++i) {
        operations << std::make_shared<GatedOperation>(&running, &maxSeen);
        queue.addOperation(operations.last());
    }
    ASSERT_TRUE(waitUntil([&] { return running.load() == 3; }));
    EXPECT_EQ(queue.operationCount(), 10);
    // Release one at a time, so that each freed slot is taken by one waiting operation.
    for (const auto& operation : operations) {
        ASSERT_TRUE(waitUntil([&] { return operation->started.load(); }));
        operation->release();
    }
    ASSERT_TRUE(waitUntil([&] { return queue.operationCount() == 0; }));
    EXPECT_EQ(maxSeen.load(), 3);
    for (const auto& operation : operations)
        EXPECT_TRUE(operation->isFinished());
}

TEST(OperationQueue, CancellingEndsWaitingAndRunningOperations)
{
    OperationQueue queue;
    queue.setMaxConcurrentOperationCount(1);
    QList<int> counts;
    QObject::connect(&queue, &OperationQueue::operationCountChanged, [&](int count) { counts << count; });
    auto running = std::make_shared<GatedOperation>();
    auto waiting = std::make_shared<GatedOperation>();
    auto other = std::make_shared<GatedOperation>();
    int finished = 0;
    QObject::connect(waiting.get(), &Operation::finished, [&] { ++finished; });
    queue.addOperation(running);
    queue.addOperation(waiting);
    queue.addOperation(other);
    ASSERT_TRUE(waitUntil([&] { return running->started.load(); }));

    // A waiting operation leaves at once, finished, without running.
    waiting->cancel();
    EXPECT_TRUE(waiting->isFinished());
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(queue.operationCount(), 2);
    EXPECT_FALSE(queue.operations().contains(waiting));

    // A running one is woken from its wait.
    queue.cancelAllOperations();
    ASSERT_TRUE(waitUntil([&] { return queue.operationCount() == 0; }));
    EXPECT_TRUE(running->sawCancel.load());
    EXPECT_FALSE(waiting->started.load());
    EXPECT_FALSE(other->started.load());
    EXPECT_TRUE(other->isFinished());
    ASSERT_TRUE(waitUntil([&] { return !counts.isEmpty() && counts.last() == 0; }));
}

TEST(OperationQueue, WorkerThreadsHaveAnEventLoopForQueuedCalls)
{
    OperationQueue queue;
    std::atomic<bool> received{false};
    std::atomic<QThread*> receivedOn{nullptr};
    auto operation = std::make_shared<GatedOperation>();
    queue.addOperation(operation);
    ASSERT_TRUE(waitUntil([&] { return operation->started.load(); }));
    QThread* worker = operation->workerThread();
    ASSERT_NE(worker, nullptr);
    EXPECT_NE(worker, QThread::currentThread());
    ASSERT_TRUE(ThreadDispatch::performOnThread(
        worker,
        [&] {
            receivedOn = QThread::currentThread();
            received = true;
            operation->release();
        },
        true))
        << "from the main thread the call is queued, not waited for";
    // The call queued to the worker reached it while the operation waited in its loop.
    ASSERT_TRUE(waitUntil([&] { return operation->isFinished(); }));
    EXPECT_TRUE(received.load());
    EXPECT_EQ(receivedOn.load(), worker);
}

TEST(OperationQueue, ANetworkReplyReachesTheOperationWaitingOnItsWorker)
{
    // A minimal HTTP responder on the main thread.
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket* socket = server.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
            if (!socket->readAll().contains("\r\n\r\n"))
                return;
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: close\r\n\r\nhello");
            socket->disconnectFromHost();
        });
    });
    class Fetch : public Operation
    {
    public:
        QUrl url;
        QByteArray body;
        QThread* finishedOn = nullptr;

    protected:
        void main() override
        {
            QNetworkAccessManager manager; // made here, so its replies come to this thread
            manager.setProxy(QNetworkProxy::NoProxy);
            QNetworkReply* reply = manager.get(QNetworkRequest(url));
            bool done = false;
            QObject::connect(reply, &QNetworkReply::finished, [&] {
                body = reply->readAll();
                finishedOn = QThread::currentThread();
                done = true;
            });
            waitUntil([&] { return done; }, 10000, 50);
            delete reply;
        }
    };
    OperationQueue queue;
    auto fetch = std::make_shared<Fetch>();
    fetch->url = QUrl(QStringLiteral("http://127.0.0.1:%1/feed").arg(server.serverPort()));
    queue.addOperation(fetch);
    ASSERT_TRUE(waitUntil([&] { return fetch->isFinished(); }, 15000));
    EXPECT_EQ(fetch->body, QByteArray("hello"));
    EXPECT_EQ(fetch->finishedOn, fetch->workerThread());
}

TEST(OperationQueue, WaitingGivesUpAtItsDeadline)
{
    class NeverAnswered : public Operation
    {
    public:
        std::atomic<int> result{-1};

    protected:
        // Never done: the wait ends at the deadline, checked between slices.
        void main() override
        {
            result = waitUntil([] { return false; }, 30, 10) ? 1 : 0;
        }
    };
    OperationQueue queue;
    auto waiter = std::make_shared<NeverAnswered>();
    auto& result = waiter->result;
    queue.addOperation(waiter);
    ASSERT_TRUE(waitUntil([&] { return result.load() >= 0; }));
    EXPECT_EQ(result.load(), 0);
}

TEST(OperationQueue, DependentOperationStartsAfterItsDependency)
{
    OperationQueue queue;
    auto first = std::make_shared<GatedOperation>();
    std::atomic<bool> firstDoneWhenSecondRan{false};
    auto second = std::make_shared<BlockOperation>([&] { firstDoneWhenSecondRan = first->isFinished(); });
    second->addDependency(first);
    queue.addOperation(second);
    queue.addOperation(first);
    ASSERT_TRUE(waitUntil([&] { return first->started.load(); }));
    EXPECT_FALSE(second->isFinished());
    first->release();
    ASSERT_TRUE(waitUntil([&] { return second->isFinished(); }));
    EXPECT_TRUE(firstDoneWhenSecondRan.load());
}

TEST(OperationQueue, DestroyingTheQueueCancelsAndJoinsItsWorkers)
{
    auto operation = std::make_shared<GatedOperation>();
    {
        OperationQueue queue;
        queue.addOperation(operation);
        ASSERT_TRUE(waitUntil([&] { return operation->started.load(); }));
    }
    EXPECT_TRUE(operation->isFinished());
    EXPECT_TRUE(operation->sawCancel.load());
}

} // namespace tavrel::test
