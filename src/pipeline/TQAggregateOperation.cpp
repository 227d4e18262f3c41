#include "pipeline/TQAggregateOperation.h"

#include "pipeline/TQActionRequester.h"
#include "pipeline/VUvodozuManager.h"

#include <mutex>

namespace tavrel {

TQAggregateOperation::TQAggregateOperation() = default;

TQAggregateOperation::TQAggregateOperation(const QList<TQOperationPtr>& operations) : m_operations(operations)
{}

TQAggregateOperation::~TQAggregateOperation() = default;

std::shared_ptr<TQAggregateOperation>
TQAggregateOperation::aggregateWithOperations(const QList<TQOperationPtr>& operations)
{
    return std::make_shared<TQAggregateOperation>(operations);
}

QList<TQOperationPtr> TQAggregateOperation::operations() const
{
    std::lock_guard lock(mutex());
    return m_operations;
}

void TQAggregateOperation::setOperations(const QList<TQOperationPtr>& operations)
{
    QList<TQOperationPtr> old;
    {
        std::lock_guard lock(mutex());
        old.swap(m_operations);
        m_operations = operations;
    }
    for (const TQOperationPtr& operation : old)
        if (!operations.contains(operation))
            operation->setCallback(nullptr);
}

TQOperationPtr TQAggregateOperation::addStep(const QString& action, const QVariantMap& arguments,
                                             VUvodozuManager* owner)
{
    if (!owner)
        owner = manager();
    if (!owner)
        return nullptr;
    const InvocationPtr answer = Invocation::invocationForSelector(kStepDidFinishSelector, this);
    TQOperationPtr step = owner->operationByActionName(action, answer, arguments);
    if (!step)
        return nullptr;
    step->setProgressConsumer(nullptr);
    std::lock_guard lock(mutex());
    m_operations.append(step);
    return step;
}

void TQAggregateOperation::stepDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    const Error stepError = TQActionRequester::errorFromVariant(error);
    QList<TQOperationPtr> remaining;
    {
        std::lock_guard lock(mutex());
        m_results.append(result);
        m_answered.append(m_current.get());
        if (stepError.isNull() || !m_firstError.isNull())
            return;
        m_firstError = stepError;
        // The first failure ends the chain: the steps after it never run.
        for (const TQOperationPtr& operation : std::as_const(m_operations))
            if (operation != m_current)
                remaining.append(operation);
        m_operations.removeIf([this](const TQOperationPtr& operation) { return operation != m_current; });
    }
    for (const TQOperationPtr& operation : remaining)
        operation->cancel();
}

QVariantList TQAggregateOperation::stepResults() const
{
    std::lock_guard lock(mutex());
    return m_results;
}

Error TQAggregateOperation::firstError() const
{
    std::lock_guard lock(mutex());
    return m_firstError;
}

QVariant TQAggregateOperation::stepResult(const TQOperationPtr& step) const
{
    std::lock_guard lock(mutex());
    const qsizetype index = m_answered.lastIndexOf(step.get());
    return index < 0 || !step ? QVariant() : m_results.at(index);
}

void TQAggregateOperation::cancel()
{
    TQOperation::cancel();
    QList<TQOperationPtr> all;
    {
        std::lock_guard lock(mutex());
        all.swap(m_operations);
    }
    for (const TQOperationPtr& operation : all)
        operation->cancel();
}

void TQAggregateOperation::performOperation()
{
    while (!isCancelled()) {
        TQOperationPtr next;
        {
            std::lock_guard lock(mutex());
            if (m_operations.isEmpty())
                break;
            next = m_operations.first();
            m_current = next;
        }
        willStartOperation(next);
        next->start();
        {
            std::lock_guard lock(mutex());
            m_operations.removeOne(next);
            m_current.reset();
        }
        if (!next->isCancelled())
            didFinishOperation(next);
    }
    allSuboperationsDidFinish();
}

void TQAggregateOperation::willStartOperation(const TQOperationPtr& operation)
{
    Q_UNUSED(operation);
}

void TQAggregateOperation::didFinishOperation(const TQOperationPtr& operation)
{
    Q_UNUSED(operation);
}

void TQAggregateOperation::allSuboperationsDidFinish()
{
    const QVariantList results = stepResults();
    finishWithResult(results.isEmpty() ? QVariant() : results.last(), firstError());
}

void TQAggregateOperation::main()
{
    TQOperation::main();
    setFinished(true);
}

bool TQAggregateOperation::finishWithResult(const QVariant& result, const Error& error)
{
    return performCallbackWithResult(result, error.isNull() ? QVariant() : QVariant::fromValue(error));
}

} // namespace tavrel
