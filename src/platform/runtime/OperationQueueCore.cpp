#include "platform/runtime/OperationQueueCore.h"

#include "platform/runtime/OperationQueue.h"
#include "platform/runtime/ThreadDispatch.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

namespace tavrel {

class OperationQueueCore::Worker : public QThread
{
public:
    Worker(std::shared_ptr<OperationQueueCore> core, OperationPtr first)
        : m_core(std::move(core)), m_first(std::move(first))
    {}
    std::atomic<bool> m_done{false};

protected:
    void run() override
    {
        // The core stays alive while this thread runs, even when its queue is being destroyed.
        std::shared_ptr<OperationQueueCore> core = m_core;
        core->workerLoop(this, std::move(m_first));
    }

private:
    std::shared_ptr<OperationQueueCore> m_core;
    OperationPtr m_first;
};

OperationQueueCore::OperationQueueCore(OperationQueue* owner)
    : m_owner(owner), m_maxConcurrent(std::max(1, QThread::idealThreadCount()))
{}

void OperationQueueCore::add(const OperationPtr& operation)
{
    if (!operation)
        return;
    bool endAtOnce = false;
    {
        std::lock_guard lock(m_mutex);
        {
            std::lock_guard operationLock(operation->m_mutex);
            // An operation belongs to one queue and runs once.
            if (!operation->m_queue.expired() || operation->m_started)
                return;
            if (m_shuttingDown || operation->isCancelled()) {
                endAtOnce = true;
            } else {
                operation->m_queue = weak_from_this();
                operation->m_sequence = m_nextSequence++;
            }
        }
        if (!endAtOnce) {
            const std::weak_ptr<OperationQueueCore> weak = weak_from_this();
            for (const OperationPtr& dependency : operation->dependencies()) {
                std::lock_guard dependencyLock(dependency->m_mutex);
                if (!dependency->isFinished())
                    dependency->m_finishHooks.append([weak] {
                        if (auto core = weak.lock())
                            core->dependencyFinished();
                    });
            }
            m_waiting.append(operation);
            dispatchLocked();
            notifyCountLocked();
        }
    }
    if (endAtOnce)
        operation->finishWithoutRunning();
}

QList<OperationPtr> OperationQueueCore::operations() const
{
    std::lock_guard lock(m_mutex);
    QList<OperationPtr> waiting = m_waiting;
    std::stable_sort(waiting.begin(), waiting.end(), [](const OperationPtr& a, const OperationPtr& b) {
        if (a->queuePriority() != b->queuePriority())
            return a->queuePriority() > b->queuePriority();
        return a->m_sequence < b->m_sequence;
    });
    return m_running + waiting;
}

int OperationQueueCore::count() const
{
    std::lock_guard lock(m_mutex);
    return int(m_waiting.size() + m_running.size());
}

void OperationQueueCore::cancelAll()
{
    QList<OperationPtr> all;
    {
        std::lock_guard lock(m_mutex);
        // Waiting ones first: a running one that ends must not start one of them on its way out.
        all = m_waiting + m_running;
    }
    for (const OperationPtr& operation : all)
        operation->cancel();
}

int OperationQueueCore::maxConcurrent() const
{
    std::lock_guard lock(m_mutex);
    return m_maxConcurrent;
}

void OperationQueueCore::setMaxConcurrent(int count)
{
    std::lock_guard lock(m_mutex);
    m_maxConcurrent = std::max(1, count);
    dispatchLocked();
}

bool OperationQueueCore::isSuspended() const
{
    std::lock_guard lock(m_mutex);
    return m_suspended;
}

void OperationQueueCore::setSuspended(bool suspended)
{
    std::lock_guard lock(m_mutex);
    m_suspended = suspended;
    dispatchLocked();
}

void OperationQueueCore::shutDown()
{
    {
        std::lock_guard lock(m_mutex);
        m_owner = nullptr;
        m_shuttingDown = true;
    }
    cancelAll();
    const bool onMainThread = ThreadDispatch::isMainThread();
    for (;;) {
        QList<Worker*> workers;
        {
            std::lock_guard lock(m_mutex);
            workers.swap(m_workers);
        }
        if (workers.isEmpty())
            break;
        for (Worker* worker : workers) {
            // A worker may be waiting on a blocking call to the main thread: serve those calls while
            // waiting, so the two never wait on each other.
            while (!worker->wait(QDeadlineTimer(20))) {
                if (onMainThread)
                    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
            }
            delete worker;
        }
    }
}

void OperationQueueCore::operationWasCancelled(Operation* operation)
{
    OperationPtr removed;
    {
        std::lock_guard lock(m_mutex);
        for (qsizetype i = 0; i < m_waiting.size(); ++i) {
            if (m_waiting.at(i).get() == operation) {
                removed = m_waiting.takeAt(i);
                break;
            }
        }
        if (!removed)
            return;
        {
            std::lock_guard operationLock(removed->m_mutex);
            removed->m_queue.reset();
        }
        notifyCountLocked();
    }
    removed->finishWithoutRunning();
}

void OperationQueueCore::dependencyFinished()
{
    std::lock_guard lock(m_mutex);
    dispatchLocked();
}

void OperationQueueCore::dispatchLocked()
{
    reapLocked();
    while (!m_suspended && !m_shuttingDown && m_busyWorkers < m_maxConcurrent) {
        OperationPtr next = takeNextLocked();
        if (!next)
            break;
        m_running.append(next);
        ++m_busyWorkers;
        auto* worker = new Worker(shared_from_this(), std::move(next));
        m_workers.append(worker);
        worker->start();
    }
}

OperationPtr OperationQueueCore::takeNextLocked()
{
    qsizetype best = -1;
    for (qsizetype i = 0; i < m_waiting.size(); ++i) {
        const OperationPtr& candidate = m_waiting.at(i);
        if (!candidate->isReady())
            continue;
        if (best < 0)
            best = i;
        else {
            const OperationPtr& current = m_waiting.at(best);
            const int a = candidate->queuePriority();
            const int b = current->queuePriority();
            if (a > b || (a == b && candidate->m_sequence < current->m_sequence))
                best = i;
        }
    }
    return best < 0 ? nullptr : m_waiting.takeAt(best);
}

void OperationQueueCore::reapLocked()
{
    for (qsizetype i = m_workers.size() - 1; i >= 0; --i) {
        Worker* worker = m_workers.at(i);
        if (worker->m_done.load()) {
            worker->wait();
            delete worker;
            m_workers.removeAt(i);
        }
    }
}

void OperationQueueCore::notifyCountLocked()
{
    if (!m_owner)
        return;
    // Posted to the queue's thread; dropped by Qt when the queue is gone by then.
    QMetaObject::invokeMethod(
        m_owner, [owner = m_owner] { emit owner->operationCountChanged(owner->operationCount()); },
        Qt::QueuedConnection);
}

void OperationQueueCore::workerLoop(Worker* worker, OperationPtr operation)
{
    ThreadDispatch::contextForCurrentThread();
    while (operation) {
        operation->start();
        // Objects the operation left for deletion in this thread go now, not with the next one.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        OperationPtr next;
        {
            std::lock_guard lock(m_mutex);
            m_running.removeOne(operation);
            {
                std::lock_guard operationLock(operation->m_mutex);
                operation->m_queue.reset();
            }
            --m_busyWorkers;
            if (!m_suspended && !m_shuttingDown && m_busyWorkers < m_maxConcurrent)
                next = takeNextLocked();
            if (next) {
                m_running.append(next);
                ++m_busyWorkers;
            }
            dispatchLocked();
            notifyCountLocked();
        }
        // The last reference may go here: release it outside the queue's lock.
        operation = std::move(next);
    }
    ThreadDispatch::releaseContextForCurrentThread();
    worker->m_done = true;
}

} // namespace tavrel
