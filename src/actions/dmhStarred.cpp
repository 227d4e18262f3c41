#include "actions/dmhStarred.h"

#include "actions/DocumentActionSupport.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhStarred)

void dmhStarred::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    if (!DocumentActionSupport::documentFrom(parameters.value(QStringLiteral("documentEntity"))) ||
        !DocumentActionSupport::isNumber(parameters.value(QStringLiteral("isStarred")))) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    forwardAction(QStringLiteral("Starred"), invocation, parameters);
}

QVariantMap dmhStarred::defaultCallbackForParams(const QVariantMap& result)
{
    return DocumentActionSupport::answerWithStoredEntry(*this, result);
}

} // namespace tavrel
