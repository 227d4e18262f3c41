#include "platform/gdata/OAuth2Configuration.h"

#include "platform/gdata/GDataEndpoints.h"
#include "platform/system/Paths.h"

#include <QSettings>

namespace tavrel {

const QString OAuth2Configuration::kDefaultServiceURL = QStringLiteral("http://127.0.0.1:8088");
const QString OAuth2Configuration::kServiceURLSettingKey = QStringLiteral("serviceURL");
const char* const OAuth2Configuration::kServiceURLEnvironmentVariable = "TAVREL_SERVICE_URL";

namespace {
// The client Tavrel is registered as with the identity provider.
const QString kClientID = QStringLiteral("503718264915.apps.tavrel-client.test");
const QString kClientSecret = QStringLiteral("Qz7wRk2mTbN9xLp4Hc_vJd8S");

QString stripTrailingSlash(QString text)
{
    while (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    return text;
}
} // namespace

OAuth2Configuration::OAuth2Configuration() : OAuth2Configuration(currentServiceURL()) {}

OAuth2Configuration::OAuth2Configuration(const QUrl& serviceURL)
    : m_serviceURL(serviceURL), m_clientID(kClientID), m_clientSecret(kClientSecret)
{
    const QString base = stripTrailingSlash(m_serviceURL.toString());
    // Documents, spreadsheets and contacts, then the root of the document-content host.
    m_scope =
        scopeWithStrings({base + QStringLiteral("/feeds/"), base + QStringLiteral("/feeds/spreadsheets/"),
                          base + QStringLiteral("/m8/feeds/"), base + QStringLiteral("/")});
}

QUrl OAuth2Configuration::currentServiceURL()
{
    // One configuration for every endpoint: the command line, the environment, then the settings.
    return GDataEndpoints::serviceBaseURL();
}

QString OAuth2Configuration::scopeWithStrings(const QStringList& scopes)
{
    QStringList kept;
    for (const QString& scope : scopes) {
        const QString trimmed = scope.trimmed();
        if (!trimmed.isEmpty() && !kept.contains(trimmed))
            kept.append(trimmed);
    }
    return kept.join(QLatin1Char(' '));
}

QUrl OAuth2Configuration::endpoint(const QString& path) const
{
    return QUrl(stripTrailingSlash(m_serviceURL.toString()) + path);
}

QUrl OAuth2Configuration::authorizationURL() const
{
    return endpoint(QStringLiteral("/o/oauth2/auth"));
}
QUrl OAuth2Configuration::tokenURL() const
{
    return endpoint(QStringLiteral("/o/oauth2/token"));
}
QUrl OAuth2Configuration::userInfoURL() const
{
    return endpoint(QStringLiteral("/oauth2/v1/userinfo"));
}

} // namespace tavrel
