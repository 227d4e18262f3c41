#include "platform/runtime/Operation.h"

#include "platform/runtime/OperationQueueCore.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <exception>

namespace tavrel {

Operation::Operation(QObject* parent) : QObject(parent) {}

Operation::~Operation() = default;

int Operation::queuePriority() const
{
    std::lock_guard lock(m_mutex);
    return m_queuePriority;
}

void Operation::setQueuePriority(int priority)
{
    std::lock_guard lock(m_mutex);
    m_queuePriority = priority;
}

bool Operation::isCancelled() const
{
    return m_cancelled.load();
}

void Operation::cancel()
{
    if (m_cancelled.exchange(true))
        return;
    wakeUp();
    std::shared_ptr<OperationQueueCore> queue;
    {
        std::lock_guard lock(m_mutex);
        queue = m_queue.lock();
    }
    if (queue)
        queue->operationWasCancelled(this);
}

bool Operation::isExecuting() const
{
    return m_executing.load();
}

bool Operation::isFinished() const
{
    return m_finished.load();
}

void Operation::setFinished(bool finished)
{
    const bool was = m_finished.exchange(finished);
    wakeUp();
    if (was == finished)
        return;
    emit isFinishedChanged(finished);
    if (finished) {
        emit this->finished();
        runFinishHooks();
    }
}

void Operation::runFinishHooks()
{
    QList<std::function<void()>> hooks;
    {
        std::lock_guard lock(m_mutex);
        hooks.swap(m_finishHooks);
    }
    for (const auto& hook : hooks)
        hook();
}

void Operation::addDependency(const std::shared_ptr<Operation>& operation)
{
    if (!operation || operation.get() == this)
        return;
    std::lock_guard lock(m_mutex);
    if (!m_dependencies.contains(operation))
        m_dependencies.append(operation);
}

void Operation::removeDependency(const std::shared_ptr<Operation>& operation)
{
    std::lock_guard lock(m_mutex);
    m_dependencies.removeAll(operation);
}

QList<std::shared_ptr<Operation>> Operation::dependencies() const
{
    std::lock_guard lock(m_mutex);
    return m_dependencies;
}

bool Operation::isReady() const
{
    if (isFinished() || isExecuting())
        return false;
    for (const auto& dependency : dependencies())
        if (!dependency->isFinished())
            return false;
    return true;
}

QThread* Operation::workerThread() const
{
    std::lock_guard lock(m_mutex);
    return m_workerThread;
}

bool Operation::runEventLoopSlice(int milliseconds)
{
    QEventLoop loop;
    {
        std::lock_guard lock(m_wakeMutex);
        if (m_wakePending) {
            m_wakePending = false;
            return true;
        }
        m_loop = &loop;
    }
    QTimer::singleShot(std::max(0, milliseconds), &loop, [&loop] { loop.exit(0); });
    const bool woken = loop.exec() == 1;
    std::lock_guard lock(m_wakeMutex);
    m_loop = nullptr;
    const bool wasWoken = woken || m_wakePending;
    m_wakePending = false;
    return wasWoken;
}

void Operation::wakeUp()
{
    std::lock_guard lock(m_wakeMutex);
    if (m_loop)
        QMetaObject::invokeMethod(
            m_loop, [loop = m_loop] { loop->exit(1); }, Qt::QueuedConnection);
    else
        m_wakePending = true;
}

bool Operation::waitUntil(const std::function<bool()>& done, qint64 timeoutMs, int sliceMs)
{
    QDeadlineTimer deadline =
        timeoutMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(timeoutMs);
    while (!done() && !isCancelled() && !isFinished()) {
        runEventLoopSlice(sliceMs);
        if (deadline.hasExpired())
            break;
    }
    return done();
}

void Operation::start()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_started)
            return;
        m_started = true;
        m_workerThread = QThread::currentThread();
    }
    if (!isCancelled() && !isFinished()) {
        m_executing = true;
        try {
            main();
        } catch (const std::exception& exception) {
            // Never let an exception leave the worker thread.
            qWarning("E: Exception did happen in operation %s: %s", metaObject()->className(),
                     exception.what());
        }
        m_executing = false;
    }
    setFinished(true);
}

void Operation::finishWithoutRunning()
{
    {
        std::lock_guard lock(m_mutex);
        m_started = true;
    }
    setFinished(true);
}

void Operation::main() {}

} // namespace tavrel
