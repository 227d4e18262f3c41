#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "UnassignCollectionHandler", store side: takes "documentEntity" out of the collection
// "collectionEntity"; the answer passes unchanged (the store learns the new state by a re-read).
class dmhUnassignCollectionHandler : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
