#include "actions/dmhAccountMetadata.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhAccountMetadata)

void dmhAccountMetadata::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    forwardAction(QStringLiteral("AccountMetadata"), invocation, parameters);
}

QVariantMap dmhAccountMetadata::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
