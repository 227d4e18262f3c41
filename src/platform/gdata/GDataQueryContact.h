#pragma once

#include "platform/gdata/GDataQuery.h"

namespace tavrel {

// Query of the contacts feed.
class GDataQueryContact : public GDataQuery
{
public:
    using GDataQuery::GDataQuery;
    static GDataQueryContact contactQueryWithFeedURL(const QUrl& feedURL)
    {
        return GDataQueryContact(feedURL);
    }
};

} // namespace tavrel
