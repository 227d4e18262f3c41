#pragma once

#include "actions/GDataDocumentHandler.h"

namespace tavrel {

// "Starred", service side: the document's entry with the starred flag and the entity tag "*", sent as
// an update to its access-list expanding edit address.
class gddmhStarred : public GDataDocumentHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
