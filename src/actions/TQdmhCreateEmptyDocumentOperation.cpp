#include "actions/TQdmhCreateEmptyDocumentOperation.h"

#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "model/FileEntryAbstract.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhCreateEmptyDocumentOperation)

void TQdmhCreateEmptyDocumentOperation::setup()
{
    m_create = addStep(QStringLiteral("CreateEmptyDocumentHandler"), {});
    if (TransferKeys::isYes(arguments().value(TransferKeys::kIsStarred)))
        addStep(QStringLiteral("Starred"), {});
}

void TQdmhCreateEmptyDocumentOperation::willStartOperation(const TQOperationPtr& operation)
{
    TQTransferAggregateOperation::willStartOperation(operation);
    // The new record exists only after the first step.
    QVariantMap step = TransferSupport::stepArguments(arguments());
    if (operation != m_create && m_createdDocument)
        step.insert(TransferKeys::kDocumentEntity, QVariant::fromValue(m_createdDocument));
    operation->setArguments(step);
}

void TQdmhCreateEmptyDocumentOperation::didFinishOperation(const TQOperationPtr& operation)
{
    Q_UNUSED(operation);
    QVariant result;
    bool succeeded = false;
    if (stepAnswer(&result, &succeeded) && succeeded)
        if (const auto record = TransferSupport::recordOf<FileEntryAbstract>(result))
            m_createdDocument = record;
}

void TQdmhCreateEmptyDocumentOperation::allSuboperationsDidFinish()
{
    finishWithResult(m_createdDocument ? QVariant::fromValue(m_createdDocument) : QVariant(), firstError());
}

} // namespace tavrel
