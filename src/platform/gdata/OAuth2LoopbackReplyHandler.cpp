#include "platform/gdata/OAuth2LoopbackReplyHandler.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>

namespace tavrel {

void OAuth2LoopbackReplyHandler::networkReplyFinished(QNetworkReply* reply)
{
    if (reply->error() == QNetworkReply::NoError) {
        QOAuthHttpServerReplyHandler::networkReplyFinished(reply);
        return;
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QJsonDocument body = QJsonDocument::fromJson(reply->readAll());
    QString reason = body.object().value(QStringLiteral("error")).toString();
    if (reason.isEmpty())
        reason = reply->errorString();
    emit tokenRequestFailed(status, reason);
}

} // namespace tavrel
