#pragma once

#include "actions/ContactManagerHandler.h"

namespace tavrel {

// "ListContacts", store side: passed on unchanged; the requester receives the whole contact feed.
class cmhListContacts : public ContactManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
