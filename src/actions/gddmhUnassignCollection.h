#pragma once

#include "actions/GDataDocumentHandler.h"

namespace tavrel {

// "UnassignCollection", service side: deletes, with the entity tag "*", the document's resource
// identifier below the collection's content feed.
class gddmhUnassignCollection : public GDataDocumentHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
