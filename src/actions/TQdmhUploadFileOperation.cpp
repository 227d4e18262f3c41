#include "actions/TQdmhUploadFileOperation.h"

#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "model/FileEntryAbstract.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhUploadFileOperation)

QString TQdmhUploadFileOperation::stepForArguments(const QVariantMap& arguments)
{
    if (TransferSupport::isList(arguments.value(TransferKeys::kACLEntries)))
        return QStringLiteral("UploadAndShare");
    if (TransferSupport::isGeneralACLPermission(arguments.value(TransferKeys::kGeneralACLPermission)))
        return QStringLiteral("UploadAndGeneralACLPermission");
    return QStringLiteral("UploadFileHandler");
}

void TQdmhUploadFileOperation::setup()
{
    const QVariantMap all = arguments();
    addStep(stepForArguments(all), TransferSupport::stepArguments(all));
}

void TQdmhUploadFileOperation::willStartOperation(const TQOperationPtr& operation)
{
    TQTransferAggregateOperation::willStartOperation(operation);
    operation->setArguments(TransferSupport::stepArguments(arguments()));
}

void TQdmhUploadFileOperation::didFinishOperation(const TQOperationPtr& operation)
{
    Q_UNUSED(operation);
    // A record answered beside an error is kept too: the upload happened, the sharing after it failed.
    QVariant result;
    if (stepAnswer(&result))
        if (const auto record = TransferSupport::recordOf<FileEntryAbstract>(result))
            m_uploadedDocument = record;
}

void TQdmhUploadFileOperation::allSuboperationsDidFinish()
{
    finishWithResult(m_uploadedDocument ? QVariant::fromValue(m_uploadedDocument) : QVariant(), firstError());
}

} // namespace tavrel
