#include "actions/TQUntrashAndThenOperation.h"

#include "actions/DocumentActionSupport.h"

namespace tavrel {

namespace {

const QString kUntrash = QStringLiteral("UntrashDocuments");

} // namespace

QVariant TQUntrashAndThenOperation::result() const
{
    std::lock_guard lock(m_stateMutex);
    return m_result;
}

void TQUntrashAndThenOperation::setup()
{
    QList<TQOperationPtr> steps;
    if (auto step = makeStep(kUntrash, QStringLiteral("untrashHandlerDidFinishWithResult:error:"), {}))
        steps.append(step);
    if (auto step = makeStep(secondAction(), QStringLiteral("starredDidFinishWithResult:error:"), {}))
        steps.append(step);
    setOperations(steps);
}

void TQUntrashAndThenOperation::willStartOperation(const TQOperationPtr& operation)
{
    TQStepChainOperation::willStartOperation(operation);
    QVariantMap arguments = this->arguments();
    if (operation->name() != kUntrash && secondStepTakesRestored())
        if (const QVariant restored = result(); restored.isValid())
            arguments.insert(QStringLiteral("documentEntities"), restored);
    setArguments(arguments);
    setStepArguments(operation, arguments);
}

void TQUntrashAndThenOperation::didFinishOperation(const TQOperationPtr& operation)
{
    waitUntil([this] { return receivedCallback() || isCancelled(); }, -1, 50);
    QVariantMap arguments = operation->arguments();
    arguments.insert(kManagedObjectContextKey, this->arguments().value(kManagedObjectContextKey));
    setArguments(arguments);
    TQStepChainOperation::didFinishOperation(operation);
}

void TQUntrashAndThenOperation::untrashHandlerDidFinishWithResult(const QVariant& result,
                                                                  const QVariant& error)
{
    if (!DocumentActionSupport::isError(error)) {
        std::lock_guard lock(m_stateMutex);
        m_result = result;
    }
    stepDidAnswer(error);
}

void TQUntrashAndThenOperation::starredDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    if (!DocumentActionSupport::isError(error) && DocumentActionSupport::documentFrom(result)) {
        std::lock_guard lock(m_stateMutex);
        m_result = result;
    }
    stepDidAnswer(error);
}

} // namespace tavrel
