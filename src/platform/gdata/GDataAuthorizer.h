#pragma once

#include "platform/runtime/Error.h"

#include <QNetworkRequest>
#include <QString>
#include <QUrl>
#include <functional>

namespace tavrel {

// What a service needs of an authentication: sign a request (refreshing an expired token first) and
// refresh once after the service answered 401. Implementations are thread-safe: services on several
// worker threads share one. Callbacks run on the calling thread.
class GDataAuthorizer
{
public:
    virtual ~GDataAuthorizer() = default;

    using Completion = std::function<void(const Error& error)>;

    // Sets the Authorization header of the request; refreshes first when the access token has expired.
    virtual void authorizeRequest(QNetworkRequest* request, Completion done) = 0;
    // Signs with the current token without any network work; false when there is no usable token.
    virtual bool authorizeRequestNow(QNetworkRequest* request) = 0;
    // Forgets the access token and asks the token endpoint for a new one.
    virtual void refreshAccessToken(Completion done) = 0;
    virtual bool canAuthorize() const = 0;
    virtual QString userEmail() const = 0;
    // The service the token belongs to: only requests to its origin (scheme, host and port) carry it.
    virtual QUrl serviceURL() const = 0;

    // Whether two addresses share scheme, host and port (a missing port is the scheme's own).
    static bool isSameOrigin(const QUrl& url, const QUrl& origin);
    // Whether a request to the address may carry this authorizer's token.
    bool mayAuthorizeURL(const QUrl& url) const { return isSameOrigin(url, serviceURL()); }
};

} // namespace tavrel
