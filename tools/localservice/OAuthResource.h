#pragma once

#include "LocalServiceState.h"
#include "Request.h"
#include "Response.h"

#include <QHash>
#include <QPair>
#include <QString>
#include <chrono>

namespace tavrel::localservice {

// OAuth 2: the authorisation page (approves the account's owner at once), the token endpoint
// (authorisation code and refresh token grants), the user's address, and the check of the bearer token
// every other request carries.
class OAuthResource
{
public:
    explicit OAuthResource(LocalServiceState& state);

    Response authorize(const Request& r);
    Response token(const Request& r);
    Response userInfo(const Request& r) const;

    // Whether `r` carries a valid, unexpired token (header, or access_token for a browser); whose in `email`.
    bool authorised(const Request& r, QString* email = nullptr);
    Response unauthorised() const;

    QString issueAccessToken(const QString& email); // valid for the set lifetime
    QString issueRefreshToken(const QString& email);
    void expireAccessTokens(); // every access token issued so far stops working
    void revokeTokens();       // every token issued so far stops working, refresh tokens too
    void setClientCredentials(const QString& clientId, const QString& clientSecret);
    void setAccessTokenLifetime(int seconds) { m_tokenLifetime = seconds; }
    void setAuthorizationDenied(bool denied) { m_denyAuthorization = denied; }

private:
    struct Token
    {
        QString email;
        std::chrono::steady_clock::time_point expires;
        bool expired = false;
    };

    QString newToken(const char* prefix);

    LocalServiceState& m_state;
    QString m_clientId, m_clientSecret;
    int m_tokenLifetime = 3600;
    QHash<QString, Token> m_accessTokens;
    QHash<QString, QString> m_refreshTokens;         // token -> email
    QHash<QString, QPair<QString, QString>> m_codes; // code -> (email, redirect uri)
    quint64 m_tokenCounter = 0;
    bool m_denyAuthorization = false;
};

} // namespace tavrel::localservice
