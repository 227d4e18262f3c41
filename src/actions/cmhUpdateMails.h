#pragma once

#include "actions/ContactManagerHandler.h"

namespace tavrel {

// "UpdateMails": changes Mail records through the store updater, with no service call. Parameters:
// "mailEntities" (list of Mail records, required), and for every one of them "mailAddress", "mailLabel"
// (strings), "isFavorite", "isVisible" (boolean numbers); hiding an address also takes its favourite
// mark. The requester receives the changed Mails of its worker context, or 701.
class cmhUpdateMails : public ContactManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
