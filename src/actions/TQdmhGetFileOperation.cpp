#include "actions/TQdmhGetFileOperation.h"

#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "model/Category.h"
#include "model/File.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhGetFileOperation)

TQdmhGetFileOperation::TQdmhGetFileOperation()
{
    setIsHeavy(true);
}

void TQdmhGetFileOperation::setup()
{
    const QVariantMap all = arguments();
    const QVariant document = all.value(TransferKeys::kDocumentEntity);
    if (TransferSupport::recordOf<File>(document))
        addStep(QStringLiteral("GetFileHandler"), TransferSupport::stepArguments(all));
    else if (TransferSupport::recordOf<Category>(document))
        addStep(QStringLiteral("CreateFolderAndGetContent"), TransferSupport::stepArguments(all));
}

void TQdmhGetFileOperation::willStartOperation(const TQOperationPtr& operation)
{
    TQTransferAggregateOperation::willStartOperation(operation);
    // The step's records from this worker's context.
    operation->setArguments(TransferSupport::stepArguments(arguments()));
}

void TQdmhGetFileOperation::didFinishOperation(const TQOperationPtr& operation)
{
    Q_UNUSED(operation);
    QVariant result;
    bool succeeded = false;
    if (stepAnswer(&result, &succeeded) && succeeded && result.isValid())
        m_result = result;
}

void TQdmhGetFileOperation::allSuboperationsDidFinish()
{
    finishWithResult(m_result, firstError());
}

} // namespace tavrel
