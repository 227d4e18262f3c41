#pragma once

#include "actions/GDataDocumentHandler.h"

namespace tavrel {

// "FetchFeed", service side: fetches the feed at "feedURL".
class gddmhFetchFeed : public GDataDocumentHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
