#pragma once

#include "actions/TQEachDocumentOperation.h"

namespace tavrel {

// "SetGeneralACLPermissions": "SetGeneralACLPermission" for each of "documentEntities" with the same
// "generalACLPermission" (absent: private). No notification.
class TQdmhSetGeneralACLPermissionsOperation : public TQEachDocumentOperation
{
    Q_OBJECT
public:
    Q_INVOKABLE void setGeneralACLPermissionDidFinishWithResult(const QVariant& result,
                                                                const QVariant& error);

protected:
    QString stepAction() const override { return QStringLiteral("SetGeneralACLPermission"); }
    QString stepSelector() const override
    {
        return QStringLiteral("setGeneralACLPermissionDidFinishWithResult:error:");
    }
    QVariantMap extraArguments(const QVariantMap& arguments) const override;
};

} // namespace tavrel
