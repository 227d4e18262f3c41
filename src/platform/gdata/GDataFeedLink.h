#pragma once

#include "platform/gdata/GDataFeedBase.h"

namespace tavrel {

// gd:feedLink: the address of a related feed (the access list, the revisions) and, when the service
// expanded it, the feed itself inline.
class GDataFeedLink : public GDataObject
{
    TAVREL_GDATA_OBJECT(GDataFeedLink, GDataObject)

    QString rel() const { return attribute("rel"); }
    QString href() const { return attribute("href"); }
    QUrl URL() const { return QUrl(href()); }
    // The inline feed, or null when the link was not expanded.
    GDataFeedPtr feed() const;
};

using GDataFeedLinkPtr = std::shared_ptr<GDataFeedLink>;

} // namespace tavrel
