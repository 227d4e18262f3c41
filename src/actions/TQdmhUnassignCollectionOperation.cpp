#include "actions/TQdmhUnassignCollectionOperation.h"

#include "actions/DocumentActionSupport.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhUnassignCollectionOperation)

ManagedObjectPtr TQdmhUnassignCollectionOperation::documentEntity() const
{
    std::lock_guard lock(m_stateMutex);
    return m_documentEntity;
}

QVariant TQdmhUnassignCollectionOperation::resultForCaller() const
{
    return recordResult(m_documentEntity);
}

void TQdmhUnassignCollectionOperation::setup()
{
    const QVariantMap arguments = this->arguments();
    QList<TQOperationPtr> steps;
    if (auto step =
            makeStep(QStringLiteral("UnassignCollectionHandler"),
                     QStringLiteral("unassignCollectionHandlerDidFinishWithResult:error:"), arguments))
        steps.append(step);
    if (auto step = makeStep(QStringLiteral("FetchDocument"),
                             QStringLiteral("fetchDocumentDidFinishWithResults:error:"), arguments))
        steps.append(step);
    setOperations(steps);
}

void TQdmhUnassignCollectionOperation::unassignCollectionHandlerDidFinishWithResult(const QVariant& result,
                                                                                    const QVariant& error)
{
    Q_UNUSED(result);
    stepDidAnswer(error);
}

void TQdmhUnassignCollectionOperation::fetchDocumentDidFinishWithResults(const QVariant& result,
                                                                         const QVariant& error)
{
    stepDidAnswerKeepingRecord(result, error, m_documentEntity);
}

} // namespace tavrel
