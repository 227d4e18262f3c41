#pragma once

#include "actions/GDataDocumentHandler.h"

namespace tavrel {

// "RenameDocument", service side: sends the document's entry with the new title and the entity tag
// "*" (whatever version the service holds is overwritten) to its edit address in the access-list
// expanding projection. The updated entry travels on as "feed".
class gddmhRenameDocument : public GDataDocumentHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
