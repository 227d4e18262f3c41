#include "actions/dmhGetFileHandler.h"

#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "actions/gddmhGetFile.h"
#include "model/File.h"
#include "model/TQCacheManager.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdater.h"
#include "pipeline/TQBackgroundHandlerOperation.h"
#include "pipeline/TQSessionProtocol.h"
#include "platform/runtime/ClassRegistry.h"

#include <QFileInfo>

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhGetFileHandler)

namespace {

// Answers the chain with the dictionary itself, as the service side would.
void answer(const InvocationPtr& invocation, QVariantMap dictionary, const Error& error)
{
    if (!invocation)
        return;
    dictionary.insert(kErrorKey, TransferSupport::errorValue(error));
    invocation->setArgument(4, dictionary);
    invocation->invoke();
}

} // namespace

void dmhGetFileHandler::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const auto record = TransferSupport::recordOf<File>(parameters.value(TransferKeys::kDocumentEntity));
    if (!record) {
        answer(invocation, parameters, missingParameterError());
        return;
    }
    TQCacheManager* cache = session() ? session()->cacheManager() : nullptr;
    const QUrl cached = cache ? cache->searchObject(record.get(), kTQCacheTypeFileDocument) : QUrl();
    if (!cached.isEmpty()) {
        QVariantMap hit = parameters;
        hit.insert(TransferKeys::kCachedFileURL, cached);
        answer(invocation, hit, Error());
        return;
    }
    QVariantMap request = parameters;
    if (!request.contains(TransferKeys::kExportFormat)) {
        const QString format = gddmhGetFile::exportFormatForResourceID(record->resourceId());
        if (!format.isNull())
            request.insert(TransferKeys::kExportFormat, format);
    }
    forwardAction(QStringLiteral("GetFile"), invocation, request);
}

QVariantMap dmhGetFileHandler::defaultCallbackForParams(const QVariantMap& result)
{
    QVariantMap answered = result;
    const auto record = TransferSupport::recordOf<File>(result.value(TransferKeys::kDocumentEntity));
    Error error = TransferSupport::errorOf(result.value(kErrorKey));
    QUrl copy;
    if (error.isNull()) {
        copy = result.value(TransferKeys::kCachedFileURL).toUrl();
        if (copy.isEmpty()) {
            const QUrl downloaded = result.value(TransferKeys::kFileURL).toUrl();
            copy = TransferSupport::cacheDownloadedFile(session(), record, downloaded);
            // A download the cache could not take is no copy at all: say so.
            if (copy.isEmpty())
                error = TransferSupport::copyFailedError(QFileInfo(downloaded.toLocalFile()).fileName());
        }
    }
    if (TQMOCMasterUpdater* updater = masterMOCUpdater(); updater && record)
        updater->documentDownloadedFileAtURL(record, copy, error);
    answered.insert(TransferKeys::kFileURL, copy.isEmpty() ? QVariant() : QVariant(copy));
    answered.insert(kErrorKey, TransferSupport::errorValue(error));
    return answered;
}

void dmhGetFileHandler::_encapsulateInvocation(const InvocationPtr& first, const InvocationPtr& second,
                                               const QVariant& parameter)
{
    // No error mapping here: the requester gets the download's own error, and the whole dictionary.
    QVariantMap answered;
    if (first) {
        first->setArgument(2, parameter.toMap());
        first->invoke();
        answered = first->returnValue().toMap();
    }
    if (!second)
        return;
    second->setArgument(2, answered);
    second->setArgument(3, answered.value(kErrorKey));
    second->invoke();
}

QString dmhGetFileHandler::handlerOperationClass() const
{
    return TQBackgroundHandlerOperation::kClassName;
}

} // namespace tavrel
