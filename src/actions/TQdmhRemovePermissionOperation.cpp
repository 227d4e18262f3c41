#include "actions/TQdmhRemovePermissionOperation.h"

#include "actions/DocumentActionSupport.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhRemovePermissionOperation)

QString TQdmhRemovePermissionOperation::mailAddress() const
{
    std::lock_guard lock(m_stateMutex);
    return m_mailAddress;
}

void TQdmhRemovePermissionOperation::removePermissionHandlerDidFinishWithResult(const QVariant& result,
                                                                                const QVariant& error)
{
    if (!DocumentActionSupport::isError(error) && result.metaType() == QMetaType::fromType<QString>()) {
        std::lock_guard lock(m_stateMutex);
        m_mailAddress = result.toString();
    }
    stepDidAnswer(error);
}

QVariant TQdmhRemovePermissionOperation::resultForCaller() const
{
    const ManagedObjectPtr record = fetchedDocument();
    if (!record)
        return QVariantMap();
    return QVariantMap{{QStringLiteral("documentEntity"), QVariant::fromValue(record)},
                       {QStringLiteral("mailAddress"), mailAddress()}};
}

} // namespace tavrel
