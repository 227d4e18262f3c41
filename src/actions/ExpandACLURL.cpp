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

namespace {
// The address without its last `count` path components.
QUrl droppingPathComponents(QUrl url, int count)
{
    QString path = url.path(QUrl::FullyEncoded);
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    for (int i = 0; i < count; ++i)
        path.truncate(std::max<qsizetype>(0, path.lastIndexOf(QLatin1Char('/'))));
    url.setPath(path, QUrl::StrictMode);
    return url;
}
} // namespace

QUrl ExpandACLURL::uploadURLExpandingAcls()
{
    return GDataEndpoints::appendingPathComponents(
        droppingPathComponents(GDataServiceGoogleDocs::docsUploadURL(), 1),
        {kGDataGoogleDocsProjectionExpandACL});
}

QUrl ExpandACLURL::expandACLUploadEditURLForGDataDocument(const GDataEntryDocBase& entry)
{
    const QString resourceID = entry.resourceID();
    const QUrl edit = entry.uploadEditLink().URL();
    if (resourceID.isEmpty() || edit.isEmpty())
        return {};
    QUrl base = droppingPathComponents(edit, 2);
    base.setQuery(QString());
    return GDataEndpoints::appendingPathComponents(base, {kGDataGoogleDocsProjectionExpandACL, resourceID});
}

} // namespace tavrel
