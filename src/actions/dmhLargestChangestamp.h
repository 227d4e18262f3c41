#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "LargestChangestamp", store side: the requester receives the account's largest changestamp (a number), the
// null object when the service gave none.
class dmhLargestChangestamp : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
