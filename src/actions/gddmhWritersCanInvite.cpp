#include "actions/gddmhWritersCanInvite.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhWritersCanInvite)

void gddmhWritersCanInvite::executeActionAndCall(const InvocationPtr& invocation,
                                                 const QVariantMap& parameters)
{
    const bool flag = parameters.value(QStringLiteral("writersCanInvite")).toBool();
    sendForcedUpdate(invocation, parameters,
                     [flag](GDataEntryDocBase& entry) { entry.setWritersCanInvite(flag); });
}

QVariantMap gddmhWritersCanInvite::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
