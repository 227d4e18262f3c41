#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "DeleteDocument", store side: deletes "documentEntity" for good when the user owns it ("DeleteFile");
// a document of someone else only loses the user's own access ("RemovePermission" with the user's
// address), since only its owner may delete it. Either way the record leaves the store and is the
// answer.
class dmhDeleteDocument : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
