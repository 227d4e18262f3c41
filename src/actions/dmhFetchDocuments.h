#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "FetchDocuments", store side: re-reads documents ("documentEntities": records or service entries,
// in order) in one batch query, stores the answered entries and answers their master records; with
// some entries failing (704) those that came back are stored and answered with the error.
class dmhFetchDocuments : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
