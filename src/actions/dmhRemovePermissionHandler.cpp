#include "actions/dmhRemovePermissionHandler.h"

#include "actions/DocumentActionSupport.h"
#include "model/TQLocalizedStrings.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhRemovePermissionHandler)

Error dmhRemovePermissionHandler::permissionNotFoundError(const QString& address)
{
    return Error(
        VUvodozuManager::kErrorDomain, kPermissionNotFoundErrorCode,
        {{Error::kLocalizedDescriptionKey,
          TQLocalizedStrings::localizedStringForKey(QStringLiteral("PermissionNotFoundError")).arg(address)},
         {QStringLiteral("mailAddress"), address}});
}

void dmhRemovePermissionHandler::executeActionAndCall(const InvocationPtr& invocation,
                                                      const QVariantMap& parameters)
{
    if (!DocumentActionSupport::documentFrom(parameters.value(QStringLiteral("documentEntity"))) ||
        parameters.value(QStringLiteral("mailAddress")).metaType() != QMetaType::fromType<QString>()) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    forwardAction(QStringLiteral("RemovePermission"), invocation, parameters);
}

QVariantMap dmhRemovePermissionHandler::defaultCallbackForParams(const QVariantMap& result)
{
    if (DocumentActionSupport::isError(result.value(kErrorKey)))
        return result;
    return DocumentActionSupport::answer(result.value(QStringLiteral("mailAddress")), Error());
}

} // namespace tavrel
