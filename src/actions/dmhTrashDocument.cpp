#include "actions/dmhTrashDocument.h"

#include "actions/DocumentActionSupport.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhTrashDocument)

void dmhTrashDocument::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    if (!DocumentActionSupport::documentFrom(parameters.value(QStringLiteral("documentEntity")))) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    forwardAction(serviceAction(), invocation, parameters);
}

QVariantMap dmhTrashDocument::defaultCallbackForParams(const QVariantMap& result)
{
    return DocumentActionSupport::answerWithStoredEntry(*this, result);
}

} // namespace tavrel
