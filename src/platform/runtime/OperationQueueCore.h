#pragma once

#include "platform/runtime/Operation.h"

#include <QList>
#include <QThread>
#include <atomic>
#include <memory>
#include <mutex>

namespace tavrel {

class OperationQueue;

// The shared state of an OperationQueue, kept alive by its workers and reached by its operations
// through a weak pointer, so that a cancel from any thread never touches a queue that is gone.
class OperationQueueCore : public std::enable_shared_from_this<OperationQueueCore>
{
public:
    explicit OperationQueueCore(OperationQueue* owner);

    void add(const OperationPtr& operation);
    QList<OperationPtr> operations() const;
    int count() const;
    void cancelAll();
    int maxConcurrent() const;
    void setMaxConcurrent(int count);
    bool isSuspended() const;
    void setSuspended(bool suspended);
    // Called by the owner's destructor: no more signals, every operation cancelled, workers joined.
    void shutDown();

    void operationWasCancelled(Operation* operation);
    // A dependency finished: waiting operations may now be ready.
    void dependencyFinished();

private:
    class Worker;
    friend class Worker;

    void dispatchLocked();
    OperationPtr takeNextLocked();
    void reapLocked();
    void notifyCountLocked();
    void workerLoop(Worker* worker, OperationPtr operation);

    mutable std::recursive_mutex m_mutex;
    OperationQueue* m_owner;
    QList<OperationPtr> m_waiting;
    QList<OperationPtr> m_running;
    QList<Worker*> m_workers;
    int m_busyWorkers = 0;
    int m_maxConcurrent;
    bool m_suspended = false;
    bool m_shuttingDown = false;
    quint64 m_nextSequence = 1;
};

} // namespace tavrel
