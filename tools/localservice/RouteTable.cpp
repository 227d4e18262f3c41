#include "RouteTable.h"

namespace tavrel::localservice {

void RouteTable::add(const char* method, const QString& pattern, Handler handler, Access access)
{
    Route route{QString::fromLatin1(method), QRegularExpression(pattern), std::move(handler), access};
    // A row that can never match is a mistake in the table: say so at once rather than answer 404.
    if (!route.pattern.isValid())
        qFatal("route %s: %s", qPrintable(pattern), qPrintable(route.pattern.errorString()));
    m_routes.append(std::move(route));
}

const RouteTable::Route* RouteTable::find(Request& r) const
{
    for (const Route& route : m_routes) {
        if (route.method != QLatin1String("*") && route.method != r.method)
            continue;
        QRegularExpressionMatch match = route.pattern.match(r.path);
        if (match.hasMatch()) {
            r.route = std::move(match);
            return &route;
        }
    }
    return nullptr;
}

} // namespace tavrel::localservice
