#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "MarkAsViewed": marks "documentEntities" viewed ("isViewed", YES when absent or not a number) in the
// store only; a viewed document is no longer new. Answers the master records in order.
class dmhMarkAsViewed : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
