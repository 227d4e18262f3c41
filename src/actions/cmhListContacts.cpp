#include "actions/cmhListContacts.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(cmhListContacts)

void cmhListContacts::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    forwardAction(QStringLiteral("ListContacts"), invocation, parameters);
}

QVariantMap cmhListContacts::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
