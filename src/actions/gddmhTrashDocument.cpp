#include "actions/gddmhTrashDocument.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhTrashDocument)

void gddmhTrashDocument::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    sendForcedUpdate(invocation, parameters,
                     [this](GDataEntryDocBase& entry) { entry.setIsDeleted(trashes()); });
}

QVariantMap gddmhTrashDocument::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
