#include "actions/dmhAssignCollectionHandler.h"

#include "actions/DocumentActionSupport.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhAssignCollectionHandler)

void dmhAssignCollectionHandler::executeActionAndCall(const InvocationPtr& invocation,
                                                      const QVariantMap& parameters)
{
    if (!DocumentActionSupport::documentFrom(parameters.value(QStringLiteral("documentEntity"))) ||
        parameters.value(QStringLiteral("feedURL")).metaType() != QMetaType::fromType<QUrl>()) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    forwardAction(QStringLiteral("AssignCollection"), invocation, parameters);
}

QVariantMap dmhAssignCollectionHandler::defaultCallbackForParams(const QVariantMap& result)
{
    return DocumentActionSupport::answerWithStoredEntry(*this, result);
}

} // namespace tavrel
