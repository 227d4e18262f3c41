#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "CreateEmptyDocumentHandler", store side: "type" is "document", "spreadsheet", "presentation",
// "drawing" or "folder"; "newName" defaults to the kind's untitled name; "isTrashed", when given, is a
// number. The created entry is added to the store and its master record answered.
class dmhCreateEmptyDocumentHandler : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
