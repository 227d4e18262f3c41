#include "actions/TQdmhUploadAndGeneralACLPermissionOperation.h"

#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "model/FileEntryAbstract.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhUploadAndGeneralACLPermissionOperation)

void TQdmhUploadAndGeneralACLPermissionOperation::setup()
{
    addStep(QStringLiteral("UploadFileHandler"), {});
    addStep(QStringLiteral("SetGeneralACLPermission"), {});
}

void TQdmhUploadAndGeneralACLPermissionOperation::willStartOperation(const TQOperationPtr& operation)
{
    TQTransferAggregateOperation::willStartOperation(operation);
    operation->setArguments(TransferSupport::stepArguments(arguments()));
}

void TQdmhUploadAndGeneralACLPermissionOperation::didFinishOperation(const TQOperationPtr& operation)
{
    Q_UNUSED(operation);
    QVariant result;
    bool succeeded = false;
    if (!stepAnswer(&result, &succeeded) || !succeeded)
        return;
    if (const auto record = TransferSupport::recordOf<FileEntryAbstract>(result)) {
        QVariantMap next = arguments();
        next.insert(TransferKeys::kDocumentEntity, QVariant::fromValue(ManagedObjectPtr(record)));
        setArguments(next);
    }
}

void TQdmhUploadAndGeneralACLPermissionOperation::allSuboperationsDidFinish()
{
    finishWithResult(arguments().value(TransferKeys::kDocumentEntity), firstError());
}

} // namespace tavrel
