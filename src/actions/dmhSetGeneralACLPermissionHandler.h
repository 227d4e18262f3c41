#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "SetGeneralACLPermissionHandler", store side: "feedACL" (required) and "generalACLPermission"
// (optional) go on as "SetGeneralACLPermission"; the answer passes unchanged.
class dmhSetGeneralACLPermissionHandler : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
