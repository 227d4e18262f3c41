#pragma once

#include "pipeline/TQOperation.h"

#include <QList>
#include <QObject>
#include <atomic>
#include <memory>
#include <mutex>

namespace tavrel {

class OperationQueue;
class TQSessionProtocol;

// The per-session scheduler of operations: a heavy queue (transfers) and a light queue, 3 running
// operations each. It records the scheduling thread as each operation's callback thread, drops a
// request that repeats one still waiting with a higher priority, finds and cancels running operations,
// and cancels everything when the session stops.
//
// Locks: the manager's own lock, and inside it a queue's lock; never the other way round.
class TQQueueManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool availableForBackgroundOperations READ availableForBackgroundOperations NOTIFY
                   availableForBackgroundOperationsChanged)
public:
    static constexpr int kDefaultMaxOperations = 3;

    explicit TQQueueManager(TQSessionProtocol* session, QObject* parent = nullptr);
    // Resets, then waits for the running operations to return.
    ~TQQueueManager() override;

    TQSessionProtocol* session() const { return m_session; }
    OperationQueue* heavyQueue() const { return m_heavyQueue; }
    OperationQueue* lightQueue() const { return m_lightQueue; }

    int maxNumberOfHeavyOperations() const;
    void setMaxNumberOfHeavyOperations(int count);
    int maxNumberOfLightOperations() const;
    void setMaxNumberOfLightOperations(int count);

    // True while the heavy queue holds no operation.
    bool availableForBackgroundOperations() const;

    void start();
    void stop();
    // The same as reset().
    void clean();

    // Queues the operation (heavy or light); a null operation is ignored, a redundant one dropped. The
    // calling thread gets the callback, so it must be one that ThreadDispatch reaches (the main thread
    // or a queue's worker).
    void scheduleOperation(const TQOperationPtr& operation);
    void cancelOperation(const TQOperationPtr& operation);

    // The operations of both queues that are not cancelled, carry the name and hold, under the given
    // keys, the same set of values (a missing key counts as the null object). Empty when none.
    QList<TQOperationPtr> operationsMatchingName(const QString& name, const QVariantMap& arguments) const;
    QList<TQOperationPtr> operationsMatchingName(const QString& name) const;

    // Whether a scheduled operation repeats another of its queue that was scheduled no later, has the
    // same name and the very same objects under the same key arguments, and a strictly higher queue
    // priority.
    bool isRedundant(const TQOperation* operation) const;

    // Cancels every operation of both queues; nobody is called back.
    void reset();

signals:
    void availableForBackgroundOperationsChanged(bool available);

private:
    std::recursive_mutex& lockForQueue(const OperationQueue* queue) const;
    QList<TQOperationPtr> allOperations() const;
    void updateAvailability();

    TQSessionProtocol* m_session;
    OperationQueue* m_heavyQueue;
    OperationQueue* m_lightQueue;
    mutable std::recursive_mutex m_mutex;
    mutable std::recursive_mutex m_heavyMutex;
    mutable std::recursive_mutex m_lightMutex;
    std::atomic<bool> m_available{true};
};

} // namespace tavrel
