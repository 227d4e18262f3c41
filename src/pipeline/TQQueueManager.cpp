#include "pipeline/TQQueueManager.h"

#include "pipeline/TQObjectIdentity.h"
#include "platform/runtime/OperationQueue.h"
#include "platform/system/TQLog.h"

#include <QThread>

namespace tavrel {

namespace {

const QString kGetAvatar = QStringLiteral("GetAvatar");

QList<TQOperationPtr> actionOperations(const OperationQueue* queue)
{
    QList<TQOperationPtr> result;
    for (const OperationPtr& operation : queue->operations())
        if (auto action = std::dynamic_pointer_cast<TQOperation>(operation))
            result.append(action);
    return result;
}

bool containsEqual(const QVariantList& values, const QVariant& value)
{
    for (const QVariant& candidate : values)
        if (candidate == value || (!candidate.isValid() && !value.isValid()))
            return true;
    return false;
}

} // namespace

TQQueueManager::TQQueueManager(TQSessionProtocol* session, QObject* parent)
    : QObject(parent), m_session(session), m_heavyQueue(new OperationQueue(this)),
      m_lightQueue(new OperationQueue(this))
{
    m_heavyQueue->setMaxConcurrentOperationCount(kDefaultMaxOperations);
    m_lightQueue->setMaxConcurrentOperationCount(kDefaultMaxOperations);
    connect(m_heavyQueue, &OperationQueue::operationCountChanged, this, &TQQueueManager::updateAvailability);
}

TQQueueManager::~TQQueueManager()
{
    reset();
    // The queues wait for their running operations as they go.
    delete m_heavyQueue;
    delete m_lightQueue;
}

std::recursive_mutex& TQQueueManager::lockForQueue(const OperationQueue* queue) const
{
    return queue == m_heavyQueue ? m_heavyMutex : m_lightMutex;
}

int TQQueueManager::maxNumberOfHeavyOperations() const
{
    std::lock_guard lock(m_heavyMutex);
    return m_heavyQueue->maxConcurrentOperationCount();
}

void TQQueueManager::setMaxNumberOfHeavyOperations(int count)
{
    std::lock_guard lock(m_heavyMutex);
    m_heavyQueue->setMaxConcurrentOperationCount(count);
}

int TQQueueManager::maxNumberOfLightOperations() const
{
    std::lock_guard lock(m_lightMutex);
    return m_lightQueue->maxConcurrentOperationCount();
}

void TQQueueManager::setMaxNumberOfLightOperations(int count)
{
    std::lock_guard lock(m_lightMutex);
    m_lightQueue->setMaxConcurrentOperationCount(count);
}

bool TQQueueManager::availableForBackgroundOperations() const
{
    return m_heavyQueue->operationCount() == 0;
}

void TQQueueManager::updateAvailability()
{
    const bool available = availableForBackgroundOperations();
    if (m_available.exchange(available) != available)
        emit availableForBackgroundOperationsChanged(available);
}

void TQQueueManager::start() {}
void TQQueueManager::stop() {}

void TQQueueManager::clean()
{
    reset();
}

QList<TQOperationPtr> TQQueueManager::allOperations() const
{
    return actionOperations(m_heavyQueue) + actionOperations(m_lightQueue);
}

void TQQueueManager::scheduleOperation(const TQOperationPtr& operation)
{
    if (!operation)
        return;
    std::lock_guard lock(m_mutex);

    const QStringList dependentNames = operation->dependentOperationNames();
    const TQOperation::DependencyChecker checker = operation->dependencyChecker();
    if (!dependentNames.isEmpty() && checker) {
        for (const TQOperationPtr& queued : allOperations()) {
            if (dependentNames.contains(queued->name()) && checker(*queued))
                operation->addDependency(queued);
            if (operation->isCancelled())
                break;
        }
    }

    operation->setOriginThread(QThread::currentThread());
    operation->setScheduleDate(QDateTime::currentDateTimeUtc());
    OperationQueue* queue = operation->isHeavy() ? m_heavyQueue : m_lightQueue;
    operation->setQueue(queue);

    if (isRedundant(operation.get()))
        return;
    {
        std::lock_guard queueLock(lockForQueue(queue));
        queue->addOperation(operation);
    }
    // Observers live on the manager's thread; from elsewhere the queue's count signal tells them.
    if (queue == m_heavyQueue && QThread::currentThread() == thread())
        updateAvailability();
    const QString name = operation->name();
    if (!operation->isExclusive() && name != kGetAvatar)
        TQLog("Scheduled operation: %@", name);
}

void TQQueueManager::cancelOperation(const TQOperationPtr& operation)
{
    if (!operation)
        return;
    OperationQueue* queue = operation->queue();
    if (!queue) {
        operation->cancel();
        return;
    }
    std::lock_guard queueLock(lockForQueue(queue));
    operation->cancel();
}

QList<TQOperationPtr> TQQueueManager::operationsMatchingName(const QString& name,
                                                             const QVariantMap& arguments) const
{
    std::lock_guard lock(m_mutex);
    const QVariantList wanted = arguments.values();
    QList<TQOperationPtr> matches;
    for (const TQOperationPtr& operation : allOperations()) {
        if (operation->isCancelled() || operation->name() != name)
            continue;
        const QVariantMap own = operation->arguments();
        QVariantList held;
        for (auto it = arguments.cbegin(); it != arguments.cend(); ++it)
            held.append(own.value(it.key()));
        bool same = true;
        for (const QVariant& value : held)
            same = same && containsEqual(wanted, value);
        for (const QVariant& value : wanted)
            same = same && containsEqual(held, value);
        if (same)
            matches.append(operation);
    }
    return matches;
}

QList<TQOperationPtr> TQQueueManager::operationsMatchingName(const QString& name) const
{
    std::lock_guard lock(m_mutex);
    QList<TQOperationPtr> matches;
    for (const TQOperationPtr& operation : allOperations())
        if (!operation->isCancelled() && operation->name() == name)
            matches.append(operation);
    return matches;
}

bool TQQueueManager::isRedundant(const TQOperation* operation) const
{
    if (!operation)
        return false;
    const QStringList keys = operation->keyArguments();
    if (keys.isEmpty() || !operation->scheduleDate().isValid())
        return false;
    OperationQueue* queue = operation->queue();
    if (queue != m_heavyQueue && queue != m_lightQueue)
        return false;

    const QString name = operation->name();
    const QVariantMap arguments = operation->arguments();
    const quint64 scheduled = operation->scheduleSequence();
    const int priority = operation->queuePriority();

    std::lock_guard queueLock(lockForQueue(queue));
    for (const TQOperationPtr& candidate : actionOperations(queue)) {
        if (candidate.get() == operation || candidate->name() != name || candidate->keyArguments() != keys)
            continue;
        const quint64 candidateScheduled = candidate->scheduleSequence();
        if (candidateScheduled == 0 || scheduled < candidateScheduled)
            continue;
        const QVariantMap candidateArguments = candidate->arguments();
        bool sameObjects = true;
        for (const QString& key : keys)
            sameObjects = sameObjects &&
                          TQObjectIdentity::isSameObject(candidateArguments.value(key), arguments.value(key));
        if (!sameObjects || priority >= candidate->queuePriority())
            continue;
        TQLog("Operation dropped as redundant");
        return true;
    }
    return false;
}

void TQQueueManager::reset()
{
    std::lock_guard lock(m_mutex);
    {
        std::lock_guard queueLock(m_heavyMutex);
        m_heavyQueue->cancelAllOperations();
    }
    {
        std::lock_guard queueLock(m_lightMutex);
        m_lightQueue->cancelAllOperations();
    }
}

} // namespace tavrel
