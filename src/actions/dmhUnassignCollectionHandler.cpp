#include "actions/dmhUnassignCollectionHandler.h"

#include "actions/DocumentActionSupport.h"
#include "model/Category.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhUnassignCollectionHandler)

void dmhUnassignCollectionHandler::executeActionAndCall(const InvocationPtr& invocation,
                                                        const QVariantMap& parameters)
{
    const QVariant document = parameters.value(QStringLiteral("documentEntity"));
    const QVariant collection = parameters.value(QStringLiteral("collectionEntity"));
    if (!DocumentActionSupport::documentFrom(document) ||
        !std::dynamic_pointer_cast<Category>(DocumentActionSupport::documentFrom(collection))) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    forwardAction(
        QStringLiteral("UnassignCollection"), invocation,
        {{QStringLiteral("documentEntity"), document}, {QStringLiteral("collectionEntity"), collection}});
}

QVariantMap dmhUnassignCollectionHandler::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
