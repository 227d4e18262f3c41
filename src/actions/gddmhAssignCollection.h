#pragma once

#include "actions/GDataDocumentHandler.h"

namespace tavrel {

// "AssignCollection", service side: an entry carrying only the document's identifier and the entity
// tag "*", inserted into "feedURL".
class gddmhAssignCollection : public GDataDocumentHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
