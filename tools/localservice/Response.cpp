#include "Response.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace tavrel::localservice {

Response Response::text(int status, const QByteArray& body)
{
    Response r;
    r.status = status;
    r.body = body;
    return r;
}

Response Response::html(int status, const QByteArray& body)
{
    Response r = text(status, body);
    r.contentType = kHtml;
    return r;
}

Response Response::xml(int status, const QByteArray& contentType, const QByteArray& body)
{
    Response r;
    r.status = status;
    r.contentType = contentType;
    r.body = body;
    return r;
}

Response Response::json(int status, const QJsonObject& object)
{
    Response r;
    r.status = status;
    r.contentType = kJson;
    r.body = QJsonDocument(object).toJson(QJsonDocument::Compact);
    r.header("Cache-Control", "no-cache, no-store, max-age=0, must-revalidate");
    return r;
}

} // namespace tavrel::localservice
