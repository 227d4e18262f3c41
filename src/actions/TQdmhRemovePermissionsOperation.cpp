#include "actions/TQdmhRemovePermissionsOperation.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhRemovePermissionsOperation)

void TQdmhRemovePermissionsOperation::removePermissionsDidFinishWithResult(const QVariant& result,
                                                                           const QVariant& error)
{
    collectResult(result, error);
}

QList<QVariantMap> TQdmhRemovePermissionsOperation::stepArgumentsList(const QVariantMap& arguments) const
{
    QList<QVariantMap> list;
    const QVariantList documents = arguments.value(QStringLiteral("documentEntities")).toList();
    for (const QString& address : arguments.value(QStringLiteral("mailAddresses")).toStringList())
        for (const QVariant& record : documents)
            list.append(
                {{QStringLiteral("documentEntity"), record}, {QStringLiteral("mailAddress"), address}});
    return list;
}

} // namespace tavrel
