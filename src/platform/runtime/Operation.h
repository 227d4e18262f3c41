#pragma once

#include <QList>
#include <QObject>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class QEventLoop;

namespace tavrel {

class OperationQueueCore;

// A unit of work run by an OperationQueue on a worker thread of its own. Subclasses override main().
// The worker thread has an event loop: objects made in main() live in that thread, and network
// replies and queued calls reach them while the operation spins the loop (runEventLoopSlice()).
// Operations are held by std::shared_ptr; the queue keeps its operations until they have finished.
class Operation : public QObject, public std::enable_shared_from_this<Operation>
{
    Q_OBJECT
    Q_PROPERTY(bool isFinished READ isFinished NOTIFY isFinishedChanged)

public:
    explicit Operation(QObject* parent = nullptr);
    ~Operation() override;

    // Higher runs first; equal priorities run in the order they were added.
    int queuePriority() const;
    void setQueuePriority(int priority);

    bool isCancelled() const;
    // Marks the operation cancelled and wakes its waiting loop. A queued operation that has not
    // started leaves its queue at once, finished, without running main().
    virtual void cancel();

    bool isExecuting() const;
    bool isFinished() const;
    // Setting true (once) tells observers (isFinishedChanged, finished) and wakes the waiting loop.
    void setFinished(bool finished);

    // The operation starts only once these have finished.
    void addDependency(const std::shared_ptr<Operation>& operation);
    void removeDependency(const std::shared_ptr<Operation>& operation);
    QList<std::shared_ptr<Operation>> dependencies() const;
    // Not finished, not executing, and every dependency finished.
    bool isReady() const;

    // The thread that runs (or ran) main(); nullptr before the start.
    QThread* workerThread() const;

    // Runs the calling thread's event loop for at most the given time, returning early when
    // wakeUp() is called (a wake-up that came before the call counts too). Answers true when woken.
    bool runEventLoopSlice(int milliseconds);
    // Wakes runEventLoopSlice(); safe from any thread.
    void wakeUp();
    // Spins the loop in slices until done() holds, the operation is cancelled or finished, or the
    // time-out (milliseconds; negative for none) has passed at the end of a slice. Answers done().
    bool waitUntil(const std::function<bool()>& done, qint64 timeoutMs, int sliceMs);

    // Runs the operation on the calling thread: main() unless cancelled, then finished. The queue
    // calls it on the worker thread; calling it by hand runs the operation synchronously.
    void start();

signals:
    void isFinishedChanged(bool finished);
    void finished();

protected:
    virtual void main();
    // The operation's own lock, for subclasses guarding their state with it.
    std::recursive_mutex& mutex() const { return m_mutex; }

private:
    friend class OperationQueueCore;
    void runFinishHooks();
    // Ends an operation that was cancelled before it started.
    void finishWithoutRunning();

    mutable std::recursive_mutex m_mutex;
    int m_queuePriority = 0;
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_executing{false};
    std::atomic<bool> m_finished{false};
    bool m_started = false;
    QThread* m_workerThread = nullptr;
    QList<std::shared_ptr<Operation>> m_dependencies;

    // Set while the operation belongs to a queue.
    std::weak_ptr<OperationQueueCore> m_queue;
    quint64 m_sequence = 0;
    QList<std::function<void()>> m_finishHooks;

    std::mutex m_wakeMutex;
    QEventLoop* m_loop = nullptr;
    bool m_wakePending = false;
};

using OperationPtr = std::shared_ptr<Operation>;

} // namespace tavrel
