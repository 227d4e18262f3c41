#pragma once

#include "actions/GDataDocumentHandler.h"

namespace tavrel {

// "StarredDocuments", service side: one batch of "update" entries carrying only each document's
// identifier (also as batch identifier), the entity tag "*" and the starred flag, posted to "batchURL".
class gddmhStarredDocuments : public GDataDocumentHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
