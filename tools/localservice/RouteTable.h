#pragma once

#include "Request.h"
#include "Response.h"

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <functional>

namespace tavrel::localservice {

// Which handler answers a request: rows of method and path pattern, tried in the order they were added.
// The first row whose method ("*": any) and regular expression (on the decoded path) both match answers;
// its match is the request's `route`, so the handler reads its named groups with `arg()`.
class RouteTable
{
public:
    using Handler = std::function<Response(const Request&)>;
    enum Access {
        TokenRequired, // the request needs a valid token first
        Public,        // answered without one
    };

    struct Route
    {
        QString method;
        QRegularExpression pattern;
        Handler handler;
        Access access = TokenRequired;
    };

    void add(const char* method, const QString& pattern, Handler handler, Access access = TokenRequired);

    // The first row matching `r`, with `r.route` set to its match; nullptr when none does.
    const Route* find(Request& r) const;

private:
    QList<Route> m_routes;
};

} // namespace tavrel::localservice
