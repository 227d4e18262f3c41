#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "Starred", store side: stars or unstars one document ("documentEntity", "isStarred" a number) and
// answers its refreshed master record.
class dmhStarred : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
