#include "actions/dmhUploadRevision.h"

#include "actions/GDataResultValues.h"
#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "model/File.h"
#include "model/TQCacheManager.h"
#include "model/TQLocalizedStrings.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdater.h"
#include "notifications/TQExternalNotificationCenter.h"
#include "pipeline/TQBackgroundHandlerOperation.h"
#include "pipeline/TQSessionProtocol.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhUploadRevision)

void dmhUploadRevision::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const auto record = TransferSupport::recordOf<File>(parameters.value(TransferKeys::kDocumentEntity));
    if (!record || parameters.value(TransferKeys::kFilePath).metaType() != QMetaType::fromType<QString>()) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    forwardAction(QStringLiteral("UploadRevision"), invocation, parameters);
}

QVariantMap dmhUploadRevision::defaultCallbackForParams(const QVariantMap& result)
{
    if (TransferSupport::isError(result.value(kErrorKey)))
        return result;
    const auto entry = GDataResultValues::objectFromValue<GDataEntryDocBase>(result.value(kFeedKey));
    TQMOCMasterUpdater* updater = masterMOCUpdater();
    std::shared_ptr<File> record;
    if (entry && updater) {
        updater->documentsUpdated(QList<GDataEntryPtr>{entry});
        record = std::dynamic_pointer_cast<File>(TransferSupport::recordForEntry(session(), *entry));
    }
    QVariantMap answer;
    if (!record) {
        answer.insert(kFeedKey, QVariant());
        answer.insert(kErrorKey, QVariant::fromValue(VUvodozuManager::unexpectedErrorWithReason(
                                     QStringLiteral("The revised document is not in the store"))));
        return answer;
    }
    // The saved copy is what the service holds now: it replaces the cached one. A failed copy keeps the
    // previous one; the revision is uploaded all the same.
    const QVariantMap request = result.value(GDManagerHandler::kParameterKey).toMap();
    const QUrl saved = QUrl::fromLocalFile(request.value(TransferKeys::kFilePath).toString());
    if (TQCacheManager* cache = session() ? session()->cacheManager() : nullptr) {
        cache->deleteObject(record.get());
        const QUrl cached = TransferSupport::cacheCopyOfFile(session(), record, saved);
        if (!cached.isEmpty())
            updater->documentDownloadedFileAtURL(record, cached, Error());
    }
    TQExternalNotificationCenter::defaultCenter()->postExternalNotification(
        TQExternalNotification::notificationWithName(
            TQExternalNotification::kTQActionDidFinishNotification, entry->title(),
            TQLocalizedStrings::localizedStringForKey(QStringLiteral("DocumentVersionUploadedMessage")),
            QString::number(quint64(reinterpret_cast<quintptr>(entry.get())))));
    answer.insert(kFeedKey, QVariant::fromValue(ManagedObjectPtr(record)));
    answer.insert(kErrorKey, QVariant());
    return answer;
}

QString dmhUploadRevision::handlerOperationClass() const
{
    return TQBackgroundHandlerOperation::kClassName;
}

} // namespace tavrel
