#include "actions/dmhCreateEmptyDocumentHandler.h"

#include "actions/GDataResultValues.h"
#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "model/FileEntryAbstract.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdater.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhCreateEmptyDocumentHandler)

QString dmhCreateEmptyDocumentHandler::defaultTitleForType(const QString& type)
{
    if (type == QLatin1String("document"))
        return QStringLiteral("Untitled Document");
    if (type == QLatin1String("spreadsheet"))
        return QStringLiteral("Untitled Spreadsheet");
    if (type == QLatin1String("presentation"))
        return QStringLiteral("Untitled Presentation");
    if (type == QLatin1String("drawing"))
        return QStringLiteral("Untitled Drawing");
    if (type == QLatin1String("folder"))
        return QStringLiteral("Untitled Folder");
    return QString();
}

void dmhCreateEmptyDocumentHandler::executeActionAndCall(const InvocationPtr& invocation,
                                                         const QVariantMap& parameters)
{
    const QString title = defaultTitleForType(parameters.value(TransferKeys::kType).toString());
    const bool trashedOk = !parameters.contains(TransferKeys::kIsTrashed) ||
                           TransferKeys::isNumber(parameters.value(TransferKeys::kIsTrashed));
    if (title.isNull() || !trashedOk) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    QVariantMap request = parameters;
    if (!request.contains(TransferKeys::kNewName))
        request.insert(TransferKeys::kNewName, title);
    forwardAction(QStringLiteral("CreateEmptyDocument"), invocation, request);
}

QVariantMap dmhCreateEmptyDocumentHandler::defaultCallbackForParams(const QVariantMap& result)
{
    if (TransferSupport::isError(result.value(kErrorKey)))
        return result;
    const auto entry = GDataResultValues::objectFromValue<GDataEntryDocBase>(result.value(kFeedKey));
    std::shared_ptr<FileEntryAbstract> record;
    if (entry && masterMOCUpdater()) {
        masterMOCUpdater()->documentCreated(GDataEntryPtr(entry));
        record = TransferSupport::recordForEntry(session(), *entry);
    }
    QVariantMap answer;
    answer.insert(kFeedKey, record ? QVariant::fromValue(ManagedObjectPtr(record)) : QVariant());
    answer.insert(kErrorKey, record ? QVariant()
                                    : QVariant::fromValue(VUvodozuManager::unexpectedErrorWithReason(
                                          QStringLiteral("The new item is not in the store"))));
    return answer;
}

} // namespace tavrel
