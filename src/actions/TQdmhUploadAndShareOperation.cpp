#include "actions/TQdmhUploadAndShareOperation.h"

#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "model/FileEntryAbstract.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhUploadAndShareOperation)

void TQdmhUploadAndShareOperation::setup()
{
    m_upload = addStep(QStringLiteral("UploadFileHandler"), {});
    addStep(QStringLiteral("SetPermissions"), {});
}

void TQdmhUploadAndShareOperation::willStartOperation(const TQOperationPtr& operation)
{
    TQTransferAggregateOperation::willStartOperation(operation);
    operation->setArguments(TransferSupport::stepArguments(arguments()));
}

void TQdmhUploadAndShareOperation::didFinishOperation(const TQOperationPtr& operation)
{
    QVariant result;
    bool succeeded = false;
    if (!stepAnswer(&result, &succeeded) || !succeeded)
        return;
    if (operation == m_upload) {
        if (const auto record = TransferSupport::recordOf<FileEntryAbstract>(result)) {
            QVariantMap next = arguments();
            next.insert(TransferKeys::kDocumentEntities,
                        QVariantList{QVariant::fromValue(ManagedObjectPtr(record))});
            setArguments(next);
        }
        return;
    }
    const QVariantList shared = result.toList();
    if (!shared.isEmpty())
        m_uploadAndSharedDocument = TransferSupport::recordOf<ManagedObject>(shared.last());
}

void TQdmhUploadAndShareOperation::allSuboperationsDidFinish()
{
    finishWithResult(m_uploadAndSharedDocument ? QVariant::fromValue(m_uploadAndSharedDocument) : QVariant(),
                     firstError());
}

} // namespace tavrel
