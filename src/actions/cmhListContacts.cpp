#include "actions/cmhListContacts.h"

#include "pipeline/VUvodozuManager.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(cmhListContacts)

void cmhListContacts::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    GDManagerManager* service = gdataManager();
    if (!service) {
        callExternalInvocation(invocation, QVariant(),
                               VUvodozuManager::unexpectedErrorWithReason(
                                   QStringLiteral("The session has no contacts service")));
        return;
    }
    service->executeAction(QStringLiteral("ListContacts"), invocation, parameters);
}

QVariantMap cmhListContacts::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
