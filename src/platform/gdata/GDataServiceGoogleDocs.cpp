#include "platform/gdata/GDataServiceGoogleDocs.h"

#include "platform/gdata/GDataEndpoints.h"

namespace tavrel {

QUrl GDataServiceGoogleDocs::docsFeedURL()
{
    return GDataEndpoints::docsFeedURL();
}

QUrl GDataServiceGoogleDocs::docsUploadURL()
{
    return GDataEndpoints::docsUploadURL();
}

QUrl GDataServiceGoogleDocs::changesFeedURLForUserID(const QString& userID)
{
    return GDataEndpoints::docsChangesFeedURL(userID);
}

QUrl GDataServiceGoogleDocs::metadataEntryURLForUserID(const QString& userID)
{
    return GDataEndpoints::docsMetadataEntryURL(userID);
}

} // namespace tavrel
