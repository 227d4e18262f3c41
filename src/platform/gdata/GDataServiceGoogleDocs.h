#pragma once

#include "platform/gdata/GDataServiceBase.h"

namespace tavrel {

// The documents-list service (version 3): documents, collections, access lists, changes, metadata,
// resumable uploads. Addresses come from GDataEndpoints.
class GDataServiceGoogleDocs : public GDataServiceBase
{
public:
    // <base>/feeds/default/private/full
    static QUrl docsFeedURL();
    // <base>/feeds/upload/create-session/default/private/full
    static QUrl docsUploadURL();
    static QUrl changesFeedURLForUserID(const QString& userID);
    static QUrl metadataEntryURLForUserID(const QString& userID);

protected:
    GDataObjectFactory::FeedHint defaultFeedHint() const override
    {
        return GDataObjectFactory::FeedHint::Documents;
    }
};

} // namespace tavrel
