#include "platform/runtime/OperationQueue.h"

#include "platform/runtime/OperationQueueCore.h"

namespace tavrel {

OperationQueue::OperationQueue(QObject* parent)
    : QObject(parent), m_core(std::make_shared<OperationQueueCore>(this))
{}

OperationQueue::~OperationQueue()
{
    m_core->shutDown();
}

int OperationQueue::maxConcurrentOperationCount() const
{
    return m_core->maxConcurrent();
}
void OperationQueue::setMaxConcurrentOperationCount(int count)
{
    m_core->setMaxConcurrent(count);
}
void OperationQueue::addOperation(const OperationPtr& operation)
{
    m_core->add(operation);
}
QList<OperationPtr> OperationQueue::operations() const
{
    return m_core->operations();
}
int OperationQueue::operationCount() const
{
    return m_core->count();
}
void OperationQueue::cancelAllOperations()
{
    m_core->cancelAll();
}
bool OperationQueue::isSuspended() const
{
    return m_core->isSuspended();
}
void OperationQueue::setSuspended(bool suspended)
{
    m_core->setSuspended(suspended);
}

} // namespace tavrel
