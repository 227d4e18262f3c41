#pragma once

#include "platform/gdata/GDataServiceBase.h"

namespace tavrel {

// The contacts service: the contacts feed, its batch and the contact photos.
class GDataServiceGoogleContact : public GDataServiceBase
{
public:
    // <base>/m8/feeds/contacts/<user>/full
    static QUrl contactFeedURLForUserID(const QString& userID);

protected:
    GDataObjectFactory::FeedHint defaultFeedHint() const override
    {
        return GDataObjectFactory::FeedHint::Contacts;
    }
};

} // namespace tavrel
