#pragma once

#include "actions/GDataDocumentHandler.h"

namespace tavrel {

// "ChangesFeed", service side: every change after "largestChangestamp", with expanded access lists,
// fetched in pages that the service joins into one feed.
class gddmhChangesFeed : public GDataDocumentHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
