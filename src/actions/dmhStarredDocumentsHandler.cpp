#include "actions/dmhStarredDocumentsHandler.h"

#include "actions/DocumentActionSupport.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhStarredDocumentsHandler)

void dmhStarredDocumentsHandler::executeActionAndCall(const InvocationPtr& invocation,
                                                      const QVariantMap& parameters)
{
    if (parameters.value(QStringLiteral("documentEntities")).metaType() !=
            QMetaType::fromType<QVariantList>() ||
        !DocumentActionSupport::isNumber(parameters.value(QStringLiteral("isStarred")))) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    forwardAction(QStringLiteral("StarredDocuments"), invocation, parameters);
}

QVariantMap dmhStarredDocumentsHandler::defaultCallbackForParams(const QVariantMap& result)
{
    return DocumentActionSupport::answer(result.value(kFeedKey), result.value(kErrorKey));
}

} // namespace tavrel
