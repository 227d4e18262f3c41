#include "pipeline/TQInvocationBroker.h"

#include "pipeline/TQHandlerOperation.h"

namespace tavrel {

TQInvocationBroker::~TQInvocationBroker() = default;

std::shared_ptr<TQHandlerOperation> TQInvocationBroker::target() const
{
    std::lock_guard lock(m_mutex);
    return m_target.lock();
}

void TQInvocationBroker::setTarget(const std::shared_ptr<TQHandlerOperation>& target)
{
    std::lock_guard lock(m_mutex);
    m_target = target;
}

void TQInvocationBroker::handlerDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    std::shared_ptr<TQHandlerOperation> target;
    {
        std::lock_guard lock(m_mutex);
        target = m_target.lock();
        m_target.reset();
    }
    if (target)
        target->handlerDidFinishWithResult(result, error);
}

} // namespace tavrel
