#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "RemovePermissionHandler", store side: "documentEntity" (a document record) and "mailAddress" (a
// string) go on as "RemovePermission", with "feedACL" when the caller read the current list. The
// requester receives the removed address; nothing is stored (the caller re-reads the document).
class dmhRemovePermissionHandler : public DocumentManagerHandler
{
    Q_OBJECT
public:
    // The address is not on the document's access list: nobody lost access.
    static constexpr qint64 kPermissionNotFoundErrorCode = 705;
    static Error permissionNotFoundError(const QString& address);

    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
