#include "actions/dmhWritersCanInvite.h"

#include "actions/DocumentActionSupport.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhWritersCanInvite)

void dmhWritersCanInvite::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    if (!DocumentActionSupport::isNumber(parameters.value(QStringLiteral("writersCanInvite"))) ||
        !DocumentActionSupport::documentFrom(parameters.value(QStringLiteral("documentEntity")))) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    forwardAction(QStringLiteral("WritersCanInvite"), invocation, parameters);
}

QVariantMap dmhWritersCanInvite::defaultCallbackForParams(const QVariantMap& result)
{
    return DocumentActionSupport::answerWithStoredEntry(*this, result);
}

} // namespace tavrel
