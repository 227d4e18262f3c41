#pragma once

#include "actions/GDataContactHandler.h"

namespace tavrel {

// "ListContacts", service side: the whole contact feed of the default user, fetched in pages that the
// service joins into one feed. "getDeleted" = 1 asks for deleted contacts too.
class gdcmhListContacts : public GDataContactHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
