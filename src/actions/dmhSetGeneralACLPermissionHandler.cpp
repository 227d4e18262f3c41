#include "actions/dmhSetGeneralACLPermissionHandler.h"

#include "actions/GDataResultValues.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhSetGeneralACLPermissionHandler)

void dmhSetGeneralACLPermissionHandler::executeActionAndCall(const InvocationPtr& invocation,
                                                             const QVariantMap& parameters)
{
    if (!GDataResultValues::objectFromValue(parameters.value(QStringLiteral("feedACL")))) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    forwardAction(QStringLiteral("SetGeneralACLPermission"), invocation, parameters);
}

QVariantMap dmhSetGeneralACLPermissionHandler::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
