#include "actions/gddmhStarred.h"

#include "actions/DocumentActionSupport.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhStarred)

void gddmhStarred::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const QVariant starred = parameters.value(QStringLiteral("isStarred"));
    sendForcedUpdate(invocation, parameters, [&](GDataEntryDocBase& entry) {
        if (DocumentActionSupport::isNumber(starred))
            entry.setIsStarred(starred.toBool());
    });
}

QVariantMap gddmhStarred::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
