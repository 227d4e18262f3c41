#pragma once

#include "actions/TQEachDocumentOperation.h"

namespace tavrel {

// "SetPermissions": "SetPermission" for each of "documentEntities" with all of "ACLEntries". The
// requester receives the records of the documents shared; only when every document was shared, and
// the roles were not merely "modified", a desktop notification says so.
class TQdmhSetPermissionsOperation : public TQEachDocumentOperation
{
    Q_OBJECT
public:
    QVariantList sharedDocuments() const { return results(); }

    Q_INVOKABLE void setPermissionDidFinishWithResult(const QVariant& result, const QVariant& error);
    void allSuboperationsDidFinish() override;
    // Posts the "shared" notification (nothing after an error or for a change of roles).
    void sendNotification();

protected:
    QString stepAction() const override { return QStringLiteral("SetPermission"); }
    QString stepSelector() const override
    {
        return QStringLiteral("setPermissionDidFinishWithResult:error:");
    }
    QVariantMap extraArguments(const QVariantMap& arguments) const override;
};

} // namespace tavrel
