#include "actions/dmhSetPermissionHandler.h"

#include "actions/DocumentActionSupport.h"
#include "actions/GDataResultValues.h"
#include "platform/gdata/GDataFeedACL.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhSetPermissionHandler)

void dmhSetPermissionHandler::executeActionAndCall(const InvocationPtr& invocation,
                                                   const QVariantMap& parameters)
{
    bool isList = false;
    DocumentActionSupport::aclEntriesFrom(parameters.value(QStringLiteral("ACLEntries")), &isList);
    if (!GDataResultValues::objectFromValue<GDataFeedACL>(parameters.value(QStringLiteral("feedACL"))) ||
        !isList) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    forwardAction(QStringLiteral("SetPermission"), invocation, parameters);
}

QVariantMap dmhSetPermissionHandler::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
