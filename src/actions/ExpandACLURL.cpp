#include "actions/ExpandACLURL.h"

#include "platform/gdata/GDataConstants.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/gdata/GDataServiceGoogleDocs.h"

namespace tavrel {

QUrl ExpandACLURL::expandACLEditURLForGDataDocument(const GDataEntryDocBase& entry)
{
    const QString resourceID = entry.resourceID();
    if (resourceID.isEmpty())
        return {};
    QUrl feed = GDataServiceGoogleDocs::docsFeedURL();
    QString path = feed.path(QUrl::FullyEncoded);
    path.truncate(path.lastIndexOf(QLatin1Char('/')));
    feed.setPath(path, QUrl::StrictMode);
    return GDataEndpoints::appendingPathComponents(feed, {kGDataGoogleDocsProjectionExpandACL, resourceID});
}

} // namespace tavrel
