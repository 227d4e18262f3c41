#include "actions/TQdmhSetGeneralACLPermissionsOperation.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhSetGeneralACLPermissionsOperation)

void TQdmhSetGeneralACLPermissionsOperation::setGeneralACLPermissionDidFinishWithResult(
    const QVariant& result, const QVariant& error)
{
    collectResult(result, error);
}

QVariantMap TQdmhSetGeneralACLPermissionsOperation::extraArguments(const QVariantMap& arguments) const
{
    QVariantMap extra;
    if (arguments.contains(QStringLiteral("generalACLPermission")))
        extra.insert(QStringLiteral("generalACLPermission"),
                     arguments.value(QStringLiteral("generalACLPermission")));
    return extra;
}

} // namespace tavrel
