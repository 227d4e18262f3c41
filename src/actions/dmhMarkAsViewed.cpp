#include "actions/dmhMarkAsViewed.h"

#include "actions/DocumentActionSupport.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdater.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhMarkAsViewed)

void dmhMarkAsViewed::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const QVariant documents = parameters.value(QStringLiteral("documentEntities"));
    if (documents.metaType() != QMetaType::fromType<QVariantList>()) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    const QVariant flag = parameters.value(QStringLiteral("isViewed"));
    const bool viewed = DocumentActionSupport::isNumber(flag) ? flag.toBool() : true;
    if (TQMOCMasterUpdater* updater = masterMOCUpdater())
        updater->documents(documents.toList(), viewed);
    // The requester receives them again in its own context, with the values just saved.
    callExternalInvocation(invocation, documents, Error());
}

QVariantMap dmhMarkAsViewed::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
