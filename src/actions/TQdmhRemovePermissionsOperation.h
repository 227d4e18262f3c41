#pragma once

#include "actions/TQEachDocumentOperation.h"

namespace tavrel {

// "RemovePermissions": "RemovePermission" for each address of "mailAddresses" on each of
// "documentEntities" (the first address on every document, then the next). The requester receives the
// refreshed records of the removals done and the error of the one that failed.
class TQdmhRemovePermissionsOperation : public TQEachDocumentOperation
{
    Q_OBJECT
public:
    Q_INVOKABLE void removePermissionsDidFinishWithResult(const QVariant& result, const QVariant& error);

protected:
    QString stepAction() const override { return QStringLiteral("RemovePermission"); }
    QString stepSelector() const override
    {
        return QStringLiteral("removePermissionsDidFinishWithResult:error:");
    }
    QList<QVariantMap> stepArgumentsList(const QVariantMap& arguments) const override;
};

} // namespace tavrel
