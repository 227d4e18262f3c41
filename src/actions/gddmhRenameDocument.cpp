#include "actions/gddmhRenameDocument.h"

#include "actions/dmhRenameDocument.h"
#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhRenameDocument)

void gddmhRenameDocument::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const QString title = parameters.value(dmhRenameDocument::kNewNameKey).toString();
    sendForcedUpdate(invocation, parameters,
                     [&title](GDataEntryDocBase& entry) { entry.setTitleWithString(title); });
}

QVariantMap gddmhRenameDocument::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
