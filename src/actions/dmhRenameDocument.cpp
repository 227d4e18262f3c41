#include "actions/dmhRenameDocument.h"

#include "actions/GDataResultValues.h"
#include "model/FileEntryAbstract.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdater.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/ThreadDispatch.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhRenameDocument)

namespace {

const QString kRenameDocument = QStringLiteral("RenameDocument");

bool isError(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<Error>() && !value.value<Error>().isNull();
}

} // namespace

void dmhRenameDocument::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const QVariant newName = parameters.value(kNewNameKey);
    const auto record = std::dynamic_pointer_cast<FileEntryAbstract>(
        parameters.value(kDocumentEntityKey).value<ManagedObjectPtr>());
    if (newName.metaType() != QMetaType::fromType<QString>() || !record) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    forwardAction(kRenameDocument, invocation, parameters);
}

QVariantMap dmhRenameDocument::defaultCallbackForParams(const QVariantMap& result)
{
    if (isError(result.value(kErrorKey)))
        return result;
    const auto entry = GDataResultValues::objectFromValue<GDataEntryDocBase>(result.value(kFeedKey));
    TQMOCMaster* master = masterMOC();
    TQMOCMasterUpdater* updater = masterMOCUpdater();
    ManagedObjectPtr renamed;
    if (entry && master && updater) {
        updater->documentsUpdated(QList<GDataEntryPtr>{entry});
        const QString identifier = FileEntryAbstract::identifierFromGDataResourceId(entry->resourceID());
        renamed = ThreadDispatch::callOnMainThread([master, identifier]() -> ManagedObjectPtr {
            return FileEntryAbstract::fileEntryAbstractWithIdentifier(identifier, master);
        });
    }
    QVariantMap answer;
    if (renamed) {
        answer.insert(kFeedKey, QVariant::fromValue(renamed));
        answer.insert(kErrorKey, QVariant());
    } else {
        // The service renamed it, but there is no record to show: say so rather than answer nothing.
        answer.insert(kFeedKey, QVariant());
        answer.insert(kErrorKey, QVariant::fromValue(VUvodozuManager::unexpectedErrorWithReason(
                                     QStringLiteral("The renamed document is not in the store"))));
    }
    return answer;
}

} // namespace tavrel
