#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace tavrel {

// The OAuth 2 client Tavrel is registered as, and the endpoints of the identity provider. Every
// endpoint lives under the service base URL, so the local service can stand in for the real one.
class OAuth2Configuration
{
public:
    static const QString kDefaultServiceURL;                 // "http://127.0.0.1:8088"
    static const QString kServiceURLSettingKey;              // "serviceURL"
    static const char* const kServiceURLEnvironmentVariable; // "TAVREL_SERVICE_URL"

    // The application's own client, under the current service base URL.
    OAuth2Configuration();
    // The same client under another service (tests point it at the local service).
    explicit OAuth2Configuration(const QUrl& serviceURL);

    // The environment wins over the setting, which wins over the default.
    static QUrl currentServiceURL();
    // Joins scopes with single spaces, dropping empty and repeated ones.
    static QString scopeWithStrings(const QStringList& scopes);

    QUrl serviceURL() const { return m_serviceURL; }
    QString clientID() const { return m_clientID; }
    QString clientSecret() const { return m_clientSecret; }
    QString scope() const { return m_scope; }
    QUrl authorizationURL() const; // <service>/o/oauth2/auth
    QUrl tokenURL() const;         // <service>/o/oauth2/token
    QUrl userInfoURL() const;      // <service>/oauth2/v1/userinfo

    void setClientID(const QString& clientID) { m_clientID = clientID; }
    void setClientSecret(const QString& clientSecret) { m_clientSecret = clientSecret; }
    void setScope(const QString& scope) { m_scope = scope; }

private:
    QUrl endpoint(const QString& path) const;

    QUrl m_serviceURL;
    QString m_clientID;
    QString m_clientSecret;
    QString m_scope;
};

} // namespace tavrel
