#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "SetPermissionHandler", store side: "feedACL" (a document's access list) and "ACLEntries" go on as
// "SetPermission"; the answer passes unchanged and nothing is stored.
class dmhSetPermissionHandler : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
