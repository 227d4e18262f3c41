#include "platform/gdata/GDataServiceGoogleContact.h"

#include "platform/gdata/GDataEndpoints.h"

namespace tavrel {

QUrl GDataServiceGoogleContact::contactFeedURLForUserID(const QString& userID)
{
    return GDataEndpoints::contactFeedURL(userID);
}

} // namespace tavrel
