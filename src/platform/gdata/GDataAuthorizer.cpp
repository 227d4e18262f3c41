#include "platform/gdata/GDataAuthorizer.h"

namespace tavrel {

namespace {
int effectivePort(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.port(scheme == QLatin1String("https") ? 443 : scheme == QLatin1String("http") ? 80 : -1);
}
} // namespace

bool GDataAuthorizer::isSameOrigin(const QUrl& url, const QUrl& origin)
{
    if (!url.isValid() || !origin.isValid() || url.host().isEmpty())
        return false;
    // QUrl keeps hosts in lower case; user info in an address never names another origin, but a host does.
    return url.scheme().compare(origin.scheme(), Qt::CaseInsensitive) == 0 &&
           url.host(QUrl::FullyEncoded).compare(origin.host(QUrl::FullyEncoded), Qt::CaseInsensitive) == 0 &&
           effectivePort(url) == effectivePort(origin) && effectivePort(url) != -1;
}

} // namespace tavrel
