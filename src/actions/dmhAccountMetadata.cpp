#include "actions/dmhAccountMetadata.h"

#include "pipeline/VUvodozuManager.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhAccountMetadata)

void dmhAccountMetadata::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    GDManagerManager* service = gdataManager();
    if (!service) {
        callExternalInvocation(invocation, QVariant(),
                               VUvodozuManager::unexpectedErrorWithReason(
                                   QStringLiteral("The session has no documents service")));
        return;
    }
    service->executeAction(QStringLiteral("AccountMetadata"), invocation, parameters);
}

QVariantMap dmhAccountMetadata::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
