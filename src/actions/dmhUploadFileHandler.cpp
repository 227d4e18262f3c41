#include "actions/dmhUploadFileHandler.h"

#include "actions/GDataResultValues.h"
#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "model/File.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdater.h"
#include "pipeline/GDManagerHandler.h"
#include "pipeline/TQBackgroundHandlerOperation.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhUploadFileHandler)

void dmhUploadFileHandler::executeActionAndCall(const InvocationPtr& invocation,
                                                const QVariantMap& parameters)
{
    const QVariant fileURL = parameters.value(TransferKeys::kFileURL);
    const bool trashedOk = !parameters.contains(TransferKeys::kIsTrashed) ||
                           TransferKeys::isNumber(parameters.value(TransferKeys::kIsTrashed));
    if (fileURL.metaType() != QMetaType::fromType<QUrl>() || !trashedOk) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    forwardAction(QStringLiteral("UploadFile"), invocation, parameters);
}

QVariantMap dmhUploadFileHandler::defaultCallbackForParams(const QVariantMap& result)
{
    if (TransferSupport::isError(result.value(kErrorKey)))
        return result;
    const auto entry = GDataResultValues::objectFromValue<GDataEntryDocBase>(result.value(kFeedKey));
    TQMOCMasterUpdater* updater = masterMOCUpdater();
    std::shared_ptr<FileEntryAbstract> record;
    if (entry && updater) {
        updater->documentCreated(GDataEntryPtr(entry));
        record = TransferSupport::recordForEntry(session(), *entry);
    }
    QVariantMap answer;
    if (!record) {
        answer.insert(kFeedKey, QVariant());
        answer.insert(kErrorKey, QVariant::fromValue(VUvodozuManager::unexpectedErrorWithReason(
                                     QStringLiteral("The uploaded document is not in the store"))));
        return answer;
    }
    // The uploaded file is the record's current copy: no need to download it again. A failed copy only
    // leaves the record without a cached copy.
    const QVariantMap request = result.value(GDManagerHandler::kParameterKey).toMap();
    const QUrl fileURL = request.value(TransferKeys::kFileURL).toUrl();
    if (const auto file = std::dynamic_pointer_cast<File>(record); file && fileURL.isLocalFile()) {
        const QUrl cached = TransferSupport::cacheCopyOfFile(session(), file, fileURL);
        if (!cached.isEmpty())
            updater->documentDownloadedFileAtURL(file, cached, Error());
    }
    answer.insert(kFeedKey, QVariant::fromValue(ManagedObjectPtr(record)));
    answer.insert(kErrorKey, QVariant());
    return answer;
}

QString dmhUploadFileHandler::handlerOperationClass() const
{
    return TQBackgroundHandlerOperation::kClassName;
}

} // namespace tavrel
