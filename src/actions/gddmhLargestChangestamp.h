#pragma once

#include "actions/GDataDocumentHandler.h"

namespace tavrel {

// "LargestChangestamp", service side: one change of the changes feed, whose feed carries the largest
// changestamp; next links are not followed.
class gddmhLargestChangestamp : public GDataDocumentHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
