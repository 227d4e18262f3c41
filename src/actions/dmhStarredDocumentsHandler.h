#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "StarredDocumentsHandler", store side: "documentEntities" (an array) and "isStarred" (a number) go on
// as "StarredDocuments"; the answer is passed on, the store is refreshed by the next step.
class dmhStarredDocumentsHandler : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
