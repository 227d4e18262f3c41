#pragma once

#include "actions/GDataContactHandler.h"

namespace tavrel {

// "GetAvatar", service side: fetches a contact's photo ("contact": its service entry) from the photo
// link with "Accept: image/*", and writes it as a PNG file whatever format came. The answer holds
// "image" (the picture or the null object), "imageURL" (the PNG) when it was written, "error", "contact"
// and "contactEntity". An entry without a photo link answers at once with no image.
class gdcmhGetAvatar : public GDataContactHandler
{
    Q_OBJECT
public:
    static inline const QString kContactNotFoundException = QStringLiteral("contact not found");

    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
