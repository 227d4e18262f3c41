#pragma once

#include "actions/GDataDocumentHandler.h"

namespace tavrel {

// "FetchDocuments", service side: one batch of "query" entries, one per identifier of
// "documentIdentifiers", posted to "batchURL".
class gddmhFetchDocuments : public GDataDocumentHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
