#pragma once

#include "actions/GDataDocumentHandler.h"

namespace tavrel {

// "CreateEmptyDocument", service side: a new entry of the kind, titled "newName" (in the trash with
// "isTrashed"), inserted into the collection "collectionEntity" (its content feed) or at the top level
// of the document list with expanded access lists.
class gddmhCreateEmptyDocument : public GDataDocumentHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
