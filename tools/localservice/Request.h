#pragma once

#include <QByteArray>
#include <QMap>
#include <QRegularExpressionMatch>
#include <QString>

namespace tavrel::localservice {

// One request as the handlers see it.
struct Request
{
    QString method;
    QString path;
    QString rawTarget;
    QMap<QString, QString> query;
    QMap<QString, QString> headers;
    QByteArray body;
    bool truncated = false; // the connection is being dropped while the body was read

    QRegularExpressionMatch route; // the route's match of the path: its named groups are the arguments
    QString account;               // whom the token was issued to (empty on public routes)

    QString header(const char* name) const { return headers.value(QString::fromLatin1(name)); }
    QString param(const char* name) const { return query.value(QString::fromLatin1(name)); }
    bool flag(const char* name) const
    {
        return param(name).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    }
    QString arg(const char* name) const { return route.captured(QLatin1String(name)); }
};

} // namespace tavrel::localservice
