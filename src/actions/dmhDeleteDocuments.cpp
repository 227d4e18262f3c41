#include "actions/dmhDeleteDocuments.h"

#include "actions/DocumentActionSupport.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdater.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhDeleteDocuments)

QVariantMap dmhDeleteDocuments::defaultCallbackForParams(const QVariantMap& result)
{
    const QVariant feed = result.value(kFeedKey);
    if (feed.metaType() == QMetaType::fromType<QVariantList>())
        if (TQMOCMasterUpdater* updater = masterMOCUpdater())
            updater->documentsDeleted(feed.toList());
    return dmhTrashDocumentsHandler::defaultCallbackForParams(result);
}

} // namespace tavrel
