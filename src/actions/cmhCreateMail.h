#pragma once

#include "actions/ContactManagerHandler.h"

namespace tavrel {

// "CreateMail": adds the typed address as a Mail of the master context, with no service call. Parameters:
// "mailAddress" (string, required), "mailLabel" (string), "isFavorite" (boolean number, YES when absent).
// The requester receives the master context's Mail of that address, or 701.
class cmhCreateMail : public ContactManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;

    // The parameter classes the mail actions accept (anything else counts as absent).
    static bool isNumber(const QVariant& value);
    static bool isString(const QVariant& value);
};

} // namespace tavrel
