#include "app/DirectSignIn.h"

#include "platform/system/TQLog.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace tavrel {

bool DirectSignIn::isLocalService(const QUrl& url)
{
    const QHostAddress host(url.host());
    return url.host() == QLatin1String("localhost") || (!host.isNull() && host.isLoopback());
}

std::function<void(const QUrl&)> DirectSignIn::browserOpener()
{
    return [](const QUrl& url) {
        if (!isLocalService(url)) {
            TQLog("E: DirectSignIn: %@ is not a service on this machine; open it in a browser", url.host());
            return;
        }
        auto* network = new QNetworkAccessManager();
        QNetworkRequest request(url);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::NoLessSafeRedirectPolicy);
        QNetworkReply* reply = network->get(request);
        QObject::connect(reply, &QNetworkReply::finished, network, [reply, network] {
            if (reply->error() != QNetworkReply::NoError)
                TQLog("E: DirectSignIn: the sign-in page answered %@", reply->errorString());
            reply->deleteLater();
            network->deleteLater();
        });
    };
}

} // namespace tavrel
