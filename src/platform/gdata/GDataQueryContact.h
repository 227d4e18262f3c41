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

    void setGroupIdentifier(const QString& group) { setParameter(QStringLiteral("group"), group); }
    void setOrderBy(const QString& order) { setParameter(QStringLiteral("orderby"), order); }
};

} // namespace tavrel
