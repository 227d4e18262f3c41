#pragma once

#include "actions/TQAccessListStepsOperation.h"

namespace tavrel {

// "SetPermission": gives the people of "ACLEntries" their roles on "documentEntity" (reading its
// access list first, re-reading the document after). The requester receives the refreshed record.
class TQdmhSetPermissionOperation : public TQAccessListStepsOperation
{
    Q_OBJECT
public:
    Q_INVOKABLE void setPermissionHandlerDidFinishWithResult(const QVariant& result, const QVariant& error);

protected:
    QString changeAction() const override { return QStringLiteral("SetPermissionHandler"); }
    QString changeSelector() const override
    {
        return QStringLiteral("setPermissionHandlerDidFinishWithResult:error:");
    }
};

} // namespace tavrel
