#pragma once

#include "platform/runtime/Operation.h"

#include <QList>
#include <QObject>
#include <memory>

namespace tavrel {

class OperationQueueCore;

// Runs operations on worker threads, at most maxConcurrentOperationCount at a time, the highest
// queuePriority first and, among equals, in the order they were added. Each running operation has a
// worker thread with an event loop; a worker that finishes an operation takes the next one. An
// operation leaves the queue when it has run (or, cancelled before its start, at once).
// Thread-safe; operationCountChanged is emitted on the queue's own thread.
class OperationQueue : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int operationCount READ operationCount NOTIFY operationCountChanged)

public:
    explicit OperationQueue(QObject* parent = nullptr);
    // Cancels every operation and waits for the running ones to return.
    ~OperationQueue() override;

    int maxConcurrentOperationCount() const;
    void setMaxConcurrentOperationCount(int count);

    void addOperation(const OperationPtr& operation);
    // Running operations first (in start order), then waiting ones in the order they will start.
    QList<OperationPtr> operations() const;
    int operationCount() const;
    void cancelAllOperations();

    // A suspended queue starts no operation; running ones go on.
    bool isSuspended() const;
    void setSuspended(bool suspended);

signals:
    void operationCountChanged(int count);

private:
    std::shared_ptr<OperationQueueCore> m_core;
};

} // namespace tavrel
