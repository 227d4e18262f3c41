#include "OAuthResource.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonObject>
#include <QUrl>
#include <QUrlQuery>

namespace tavrel::localservice {

OAuthResource::OAuthResource(LocalServiceState& state) : m_state(state) {}

Response OAuthResource::authorize(const Request& r)
{
    const QString redirect = r.param("redirect_uri");
    if (redirect.isEmpty() || r.param("response_type") != QLatin1String("code"))
        return Response::text(400, "invalid_request: redirect_uri and response_type=code are required");
    if (!m_clientId.isEmpty() && r.param("client_id") != m_clientId)
        return Response::text(401, "invalid_client: The OAuth client was not found.");
    QUrl target(redirect);
    QUrlQuery q(target);
    if (m_denyAuthorization) {
        q.addQueryItem(QStringLiteral("error"), QStringLiteral("access_denied"));
    } else {
        const QString code = newToken("4_");
        m_codes.insert(code, {m_state.ownerEmail, redirect});
        q.addQueryItem(QStringLiteral("code"), code);
    }
    if (r.query.contains(QStringLiteral("state")))
        q.addQueryItem(QStringLiteral("state"), r.param("state"));
    target.setQuery(q);
    Response out = Response::text(302, {});
    out.header("Location", target.toEncoded());
    return out;
}

Response OAuthResource::token(const Request& r)
{
    QUrlQuery form(QString::fromUtf8(r.body).replace(QLatin1Char('+'), QLatin1Char(' ')));
    auto value = [&](const char* key) {
        return form.queryItemValue(QString::fromLatin1(key), QUrl::FullyDecoded);
    };
    QString id = value("client_id");
    QString secret = value("client_secret");
    const QString basic = r.header("authorization");
    if (basic.startsWith(QLatin1String("Basic "), Qt::CaseInsensitive)) {
        const QString pair = QString::fromUtf8(QByteArray::fromBase64(basic.mid(6).trimmed().toLatin1()));
        id = QUrl::fromPercentEncoding(pair.section(QLatin1Char(':'), 0, 0).toUtf8());
        secret = QUrl::fromPercentEncoding(pair.section(QLatin1Char(':'), 1).toUtf8());
    }
    auto error = [](int status, const char* code, const char* description) {
        QJsonObject o;
        o.insert(QStringLiteral("error"), QString::fromLatin1(code));
        o.insert(QStringLiteral("error_description"), QString::fromLatin1(description));
        return Response::json(status, o);
    };
    if (!m_clientId.isEmpty() &&
        (id != m_clientId || (!m_clientSecret.isEmpty() && secret != m_clientSecret)))
        return error(401, "invalid_client", "The OAuth client was not found.");
    const QString grant = value("grant_type");
    QString email;
    QString refresh;
    if (grant == QLatin1String("authorization_code")) {
        auto it = m_codes.find(value("code"));
        if (it == m_codes.end())
            return error(400, "invalid_grant", "Malformed auth code.");
        if (!value("redirect_uri").isEmpty() && value("redirect_uri") != it->second) {
            m_codes.erase(it);
            return error(400, "redirect_uri_mismatch", "Bad Request");
        }
        email = it->first;
        m_codes.erase(it);
        refresh = issueRefreshToken(email);
    } else if (grant == QLatin1String("refresh_token")) {
        auto it = m_refreshTokens.find(value("refresh_token"));
        if (it == m_refreshTokens.end())
            return error(400, "invalid_grant", "Token has been expired or revoked.");
        email = *it;
    } else {
        return error(400, "unsupported_grant_type", "Invalid grant_type.");
    }
    QJsonObject o;
    o.insert(QStringLiteral("access_token"), issueAccessToken(email));
    o.insert(QStringLiteral("expires_in"), m_tokenLifetime);
    o.insert(QStringLiteral("token_type"), QStringLiteral("Bearer"));
    o.insert(QStringLiteral("scope"), value("scope"));
    if (!refresh.isEmpty())
        o.insert(QStringLiteral("refresh_token"), refresh);
    return Response::json(200, o);
}

Response OAuthResource::userInfo(const Request& r) const
{
    QJsonObject o;
    o.insert(QStringLiteral("id"), QString::number(qHash(r.account)));
    o.insert(QStringLiteral("email"), r.account);
    o.insert(QStringLiteral("verified_email"), true);
    return Response::json(200, o);
}

bool OAuthResource::authorised(const Request& r, QString* email)
{
    const QString h = r.header("authorization");
    QString token;
    if (h.startsWith(QLatin1String("Bearer "), Qt::CaseInsensitive))
        token = h.mid(7).trimmed();
    else if (h.isEmpty())
        token = r.param("access_token"); // lets a browser look at the feeds
    if (token.isEmpty())
        return false;
    auto it = m_accessTokens.find(token);
    if (it == m_accessTokens.end() || it->expired || std::chrono::steady_clock::now() >= it->expires)
        return false;
    if (email)
        *email = it->email;
    return true;
}

Response OAuthResource::unauthorised() const
{
    Response r =
        Response::html(401, "<HTML><HEAD><TITLE>Token invalid</TITLE></HEAD><BODY><H1>Token invalid</H1>"
                            "<H2>Error 401</H2></BODY></HTML>");
    r.header("WWW-Authenticate", "Bearer realm=\"https://accounts.google.com/\", error=invalid_token");
    return r;
}

QString OAuthResource::issueAccessToken(const QString& email)
{
    const QString token = newToken("ya29.");
    m_accessTokens.insert(
        token, Token{email, std::chrono::steady_clock::now() + std::chrono::seconds(m_tokenLifetime), false});
    return token;
}

QString OAuthResource::issueRefreshToken(const QString& email)
{
    const QString token = newToken("1_");
    m_refreshTokens.insert(token, email);
    return token;
}

void OAuthResource::revokeTokens()
{
    expireAccessTokens();
    m_refreshTokens.clear();
}

void OAuthResource::expireAccessTokens()
{
    for (Token& t : m_accessTokens)
        t.expired = true;
}

void OAuthResource::setClientCredentials(const QString& clientId, const QString& clientSecret)
{
    m_clientId = clientId;
    m_clientSecret = clientSecret;
}

QString OAuthResource::newToken(const char* prefix)
{
    ++m_tokenCounter;
    const QByteArray raw = QByteArray::number(m_tokenCounter) +
                           QByteArray::number(QDateTime::currentMSecsSinceEpoch()) +
                           QByteArray::number(quintptr(this));
    return QString::fromLatin1(prefix) +
           QString::fromLatin1(
               QCryptographicHash::hash(raw, QCryptographicHash::Sha1)
                   .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals)) +
           QString::number(m_tokenCounter);
}

} // namespace tavrel::localservice
