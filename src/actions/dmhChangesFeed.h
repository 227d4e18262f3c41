#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "ChangesFeed", store side: requires "largestChangestamp" (a number; 701 without it); the requester
// receives the changes feed.
class dmhChangesFeed : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
