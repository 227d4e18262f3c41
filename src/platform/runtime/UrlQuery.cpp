#include "platform/runtime/UrlQuery.h"

namespace tavrel {

QUrl UrlQuery::URLByAppendingQueryString(const QUrl& url, const QString& query)
{
    if (query.isEmpty())
        return url;
    const QString separator = url.hasQuery() ? QStringLiteral("&") : QStringLiteral("?");
    return QUrl(url.toString(QUrl::FullyEncoded) + separator + query);
}

} // namespace tavrel
