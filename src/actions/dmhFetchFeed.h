#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "FetchFeed", store side: "feedURL" (a URL) is fetched as it is; the feed comes back untouched and
// nothing is stored.
class dmhFetchFeed : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
