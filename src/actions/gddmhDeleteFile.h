#pragma once

#include "actions/GDataDocumentHandler.h"

namespace tavrel {

// "DeleteFile", service side: deletes the document's edit address with "delete=true" (for good, not to
// the trash) and the entity tag "*".
class gddmhDeleteFile : public GDataDocumentHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
