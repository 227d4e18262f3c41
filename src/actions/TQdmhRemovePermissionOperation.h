#pragma once

#include "actions/TQAccessListStepsOperation.h"

namespace tavrel {

// "RemovePermission": takes "mailAddress" off the access list of "documentEntity", as the list stands
// on the service now, then re-reads the document. The requester receives {"documentEntity": the
// refreshed record, "mailAddress": the address} (empty without the record); an address that is not on
// the list is an error of its own.
class TQdmhRemovePermissionOperation : public TQAccessListStepsOperation
{
    Q_OBJECT
public:
    QString mailAddress() const;

    Q_INVOKABLE void removePermissionHandlerDidFinishWithResult(const QVariant& result,
                                                                const QVariant& error);

protected:
    QString changeAction() const override { return QStringLiteral("RemovePermissionHandler"); }
    QString changeSelector() const override
    {
        return QStringLiteral("removePermissionHandlerDidFinishWithResult:error:");
    }
    bool stepsReportProgress() const override { return true; }
    QVariant resultForCaller() const override;

private:
    QString m_mailAddress;
};

} // namespace tavrel
