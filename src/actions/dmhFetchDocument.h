#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "FetchDocument", store side: re-reads one document ("documentEntity") with a one-entry batch query
// ("FetchDocuments" with only its entry's address and the batch address), stores the answered entry and
// answers the master record.
class dmhFetchDocument : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
