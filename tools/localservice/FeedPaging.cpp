#include "FeedPaging.h"

#include <QUrl>
#include <QUrlQuery>
#include <algorithm>

namespace tavrel::localservice {

int FeedPaging::pageSize(const Request& r)
{
    bool ok = false;
    const qint64 n = r.param("max-results").toLongLong(&ok);
    if (!ok || n <= 0)
        return kDefaultPage;
    return int(std::min<qint64>(n, kMaxPage));
}

QByteArray FeedPaging::pageUrl(const QString& base, const Request& r, const QString& dropA,
                               const QString& dropB, const QString& key, const QString& value)
{
    QUrlQuery q;
    for (auto it = r.query.constBegin(); it != r.query.constEnd(); ++it) {
        if (it.key() != dropA && it.key() != dropB)
            q.addQueryItem(it.key(), it.value());
    }
    if (!key.isEmpty())
        q.addQueryItem(key, value);
    QUrl url(base + r.path);
    url.setQuery(q);
    return url.toEncoded();
}

} // namespace tavrel::localservice
