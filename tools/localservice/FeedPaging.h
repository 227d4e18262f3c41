#pragma once

#include "Request.h"

#include <QByteArray>
#include <QString>

namespace tavrel::localservice {

// Pages of the document, change and contact feeds.
class FeedPaging
{
public:
    static constexpr int kMaxPage = 500;
    static constexpr int kDefaultPage = 100;

    // `max-results`, bounded; the default when absent or not a positive number.
    static int pageSize(const Request& r);
    // The request's own URL (on `base`) without `dropA` and `dropB`, and with `key=value` when `key` is set.
    static QByteArray pageUrl(const QString& base, const Request& r, const QString& dropA,
                              const QString& dropB, const QString& key, const QString& value);
};

} // namespace tavrel::localservice
