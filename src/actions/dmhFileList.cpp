#include "actions/dmhFileList.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhFileList)

void dmhFileList::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    forwardAction(QStringLiteral("FileList"), invocation, parameters);
}

QVariantMap dmhFileList::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
