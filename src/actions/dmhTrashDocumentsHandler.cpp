#include "actions/dmhTrashDocumentsHandler.h"

#include "actions/DocumentActionSupport.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhTrashDocumentsHandler)

void dmhTrashDocumentsHandler::executeActionAndCall(const InvocationPtr& invocation,
                                                    const QVariantMap& parameters)
{
    const QVariant documents = parameters.value(QStringLiteral("documentEntities"));
    const QUrl batchURL = DocumentActionSupport::batchURL(session());
    if (documents.metaType() != QMetaType::fromType<QVariantList>() ||
        (refusesEmptyList() && documents.toList().isEmpty()) || batchURL.isEmpty()) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    QVariantMap forwarded = parameters;
    forwarded.insert(QStringLiteral("batchURL"), batchURL);
    forwardAction(serviceAction(), invocation, forwarded);
}

QVariantMap dmhTrashDocumentsHandler::defaultCallbackForParams(const QVariantMap& result)
{
    return DocumentActionSupport::answer(result.value(kFeedKey), result.value(kErrorKey));
}

} // namespace tavrel
