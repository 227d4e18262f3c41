#pragma once

#include "actions/TQAccessListStepsOperation.h"

namespace tavrel {

// "SetGeneralACLPermission": replaces the general access of "documentEntity" by
// "generalACLPermission" (absent: private), reading its access list first and re-reading the document
// after. The requester receives the refreshed record.
class TQdmhSetGeneralACLPermissionOperation : public TQAccessListStepsOperation
{
    Q_OBJECT
public:
    Q_INVOKABLE void setGeneralPermissionDidFinishWithResult(const QVariant& result, const QVariant& error);

protected:
    QString changeAction() const override { return QStringLiteral("SetGeneralACLPermissionHandler"); }
    QString changeSelector() const override
    {
        return QStringLiteral("setGeneralPermissionDidFinishWithResult:error:");
    }
};

} // namespace tavrel
