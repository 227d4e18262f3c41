#include "actions/TQStepChainOperation.h"

#include "actions/DocumentActionSupport.h"
#include "pipeline/TQActionRequester.h"
#include "pipeline/TQSessionProtocol.h"
#include "pipeline/VUvodozuManager.h"

#include <QThread>

namespace tavrel {

Error TQStepChainOperation::error() const
{
    std::lock_guard lock(m_stateMutex);
    return m_error;
}

void TQStepChainOperation::setError(const Error& error)
{
    std::lock_guard lock(m_stateMutex);
    m_error = error;
}

TQOperationPtr TQStepChainOperation::makeStep(const QString& action, const QString& selector,
                                              const QVariantMap& arguments)
{
    VUvodozuManager* documents = manager();
    if (!documents)
        if (TQSessionProtocol* owner = session())
            documents = owner->documentManager();
    if (!documents)
        return nullptr;
    const InvocationPtr callback = Invocation::invocationForSelector(selector, this);
    TQOperationPtr step = documents->operationByActionName(action, callback, arguments);
    if (step)
        setStepArguments(step, arguments);
    return step;
}

void TQStepChainOperation::setStepArguments(const TQOperationPtr& step, const QVariantMap& arguments) const
{
    QVariantMap own = arguments;
    // The step's answer comes back in this thread's context, not in the requester's.
    own.remove(kManagedObjectContextKey);
    if (TQSessionProtocol* owner = session())
        if (const QVariant context = owner->managedObjectContextForCurrentThread(); context.isValid())
            own.insert(kManagedObjectContextKey, context);
    step->setArguments(own);
}

void TQStepChainOperation::willStartOperation(const TQOperationPtr& operation)
{
    operation->setOriginThread(QThread::currentThread());
}

void TQStepChainOperation::didFinishOperation(const TQOperationPtr& operation)
{
    waitUntil([this] { return m_receivedCallback.load() || isCancelled(); }, -1, 50);
    if (!error().isNull())
        for (const TQOperationPtr& remaining : operations())
            if (remaining != operation)
                remaining->cancel();
    m_receivedCallback = false;
}

void TQStepChainOperation::stepDidAnswer(const QVariant& error)
{
    setError(TQActionRequester::errorFromVariant(error));
    m_receivedCallback = true;
    wakeUp();
}

void TQStepChainOperation::stepDidAnswerKeepingRecord(const QVariant& result, const QVariant& error,
                                                      ManagedObjectPtr& slot)
{
    if (!DocumentActionSupport::isError(error))
        if (const auto record = DocumentActionSupport::documentFrom(result)) {
            std::lock_guard lock(m_stateMutex);
            slot = record;
        }
    stepDidAnswer(error);
}

QVariant TQStepChainOperation::recordResult(const ManagedObjectPtr& slot) const
{
    std::lock_guard lock(m_stateMutex);
    return slot ? QVariant::fromValue(slot) : QVariant();
}

void TQStepChainOperation::allSuboperationsDidFinish()
{
    if (isCancelled())
        return;
    finishWithResult(resultForCaller(), error());
}

} // namespace tavrel
