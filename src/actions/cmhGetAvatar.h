#pragma once

#include "actions/ContactManagerHandler.h"

namespace tavrel {

// "GetAvatar", store side of a contact's photo (service side: gdcmhGetAvatar). Parameters:
// "contactEntity" (a Contact), "queuePriority". A photo cached for the contact's photo version answers
// at once ({"cachedImageURL", "contactEntity"}) and is recorded; a fetched one is taken into the avatar
// cache, recorded, and answered as its URL. A contact without a photo link, or a photo that did not
// arrive, answers 701 "UnexpectedError"; a failure is recorded too, so that a later read asks again.
// Runs as a background (heavy) operation.
class cmhGetAvatar : public ContactManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
    QString handlerOperationClass() const override;
};

} // namespace tavrel
