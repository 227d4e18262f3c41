#pragma once

#include <QString>
#include <QUrl>

namespace tavrel {

class UrlQuery
{
public:
    // The URL with the query text appended after "&" (when it has a query) or "?", unescaped; the URL
    // itself for a null or empty text.
    static QUrl URLByAppendingQueryString(const QUrl& url, const QString& query);
};

} // namespace tavrel
