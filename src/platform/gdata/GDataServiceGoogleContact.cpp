#include "platform/gdata/GDataServiceGoogleContact.h"

#include "platform/gdata/GDataEndpoints.h"

namespace tavrel {

QUrl GDataServiceGoogleContact::contactFeedURLForUserID(const QString& userID)
{
    return GDataEndpoints::contactFeedURL(userID);
}

QUrl GDataServiceGoogleContact::contactPhotoURLForContactID(const QString& contactID, const QString& userID)
{
    return GDataEndpoints::contactPhotoURL(contactID, userID);
}

} // namespace tavrel
