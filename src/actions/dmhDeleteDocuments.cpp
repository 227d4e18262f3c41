#include "actions/dmhDeleteDocuments.h"

#include "actions/DocumentActionSupport.h"
#include "actions/GDataResultValues.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdater.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhDeleteDocuments)

QVariantMap dmhDeleteDocuments::defaultCallbackForParams(const QVariantMap& result)
{
    const QVariant feed = result.value(kFeedKey);
    if (feed.metaType() == QMetaType::fromType<QVariantList>()) {
        // The answer names each deleted entry by its identifier only, without a kind.
        QList<GDataEntryPtr> deleted;
        for (const QVariant& value : feed.toList())
            if (const auto entry = GDataResultValues::objectFromValue<GDataEntryBase>(value)) {
                const GDataEntryDocPtr named = GDataEntryDocBase::documentEntry();
                named->setIdentifier(entry->identifier());
                deleted.append(named);
            }
        if (TQMOCMasterUpdater* updater = masterMOCUpdater())
            updater->documentsDeleted(deleted);
    }
    return dmhTrashDocumentsHandler::defaultCallbackForParams(result);
}

} // namespace tavrel
