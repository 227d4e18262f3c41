#pragma once

#include "platform/gdata/GDataAuthorizer.h"
#include "platform/gdata/OAuth2Configuration.h"

#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QVariantMap>
#include <memory>
#include <mutex>

namespace tavrel {

// An OAuth 2 authentication of one user: the tokens handed out by the identity provider, the user's
// address, and what is needed to renew the access token. Shared (by shared_ptr) between the account
// and the services on their worker threads; every member is safe to call from any thread.
//
// Token requests go out from one process-wide thread of their own, so that a refresh survives the end
// of the worker that asked for it; while one is under way, further refreshes join it instead of sending
// another. Completions run on the thread that asked (it needs a running event loop), never inside the
// token thread.
class OAuth2Authentication : public GDataAuthorizer, public std::enable_shared_from_this<OAuth2Authentication>
{
public:
    static const QString kErrorDomain; // "com.tavrel.OAuth2"
    enum ErrorCode {
        kErrorWindowClosed = -1000,        // the user ended the sign-in
        kErrorTokenRequestFailed = -1001,  // no answer, or an answer without a token
        kErrorNoRefreshToken = -1002,      // nothing to renew the access token with
        kErrorAuthorizationFailed = -1003, // the sign-in was refused or did not come back as expected
        // An answer of the token endpoint with an HTTP error has that status as code.
    };

    // The access token counts as expired this long before its stated end, so that a request signed
    // just before the end does not arrive too late; at most half the lifetime of a token the provider
    // handed out, so that a short-lived token is still used. Tests may shorten it.
    static inline int expiryMarginSeconds = 60;

    static std::shared_ptr<OAuth2Authentication> create(const OAuth2Configuration& configuration);
    // Rebuilds an authentication from persistenceResponseString(); null when the text holds no token.
    static std::shared_ptr<OAuth2Authentication>
    authenticationWithResponseString(const OAuth2Configuration& configuration, const QString& responseString);

    ~OAuth2Authentication() override;

    OAuth2Configuration configuration() const;

    QString accessToken() const;
    QString refreshToken() const;
    QString tokenType() const;
    QString scope() const;
    QDateTime expirationDate() const; // UTC; invalid when the provider gave no lifetime
    QString userEmail() const override;
    void setAccessToken(const QString& accessToken);
    void setRefreshToken(const QString& refreshToken);
    void setExpirationDate(const QDateTime& expirationDate);
    void setUserEmail(const QString& userEmail);

    // Takes the fields of a token-endpoint answer ("access_token", "refresh_token", "expires_in",
    // "token_type", "scope"); a refresh answer without a refresh token keeps the old one.
    void setKeysForResponseDictionary(const QVariantMap& response);
    // The tokens, their end, the scope and the address as URL-query text, and back. Answers false (and
    // changes nothing) for text that holds neither an access nor a refresh token.
    QString persistenceResponseString() const;
    bool setKeysForResponseString(const QString& responseString);

    bool isAccessTokenExpired() const;

    // GDataAuthorizer. authorizeRequest calls `done` at once, before returning, when the token is usable;
    // otherwise after the refresh, so the request must outlive the call until then.
    void authorizeRequest(QNetworkRequest* request, Completion done) override;
    bool authorizeRequestNow(QNetworkRequest* request) override;
    void refreshAccessToken(Completion done) override;
    bool canAuthorize() const override;
    QUrl serviceURL() const override;

    // How many token requests this authentication sent (diagnostics and tests).
    int tokenRequestCount() const;

private:
    explicit OAuth2Authentication(const OAuth2Configuration& configuration);

    struct Waiter
    {
        QPointer<QObject> context; // lives in the asking thread
        Completion done;
    };
    void startTokenRequest(const QString& refreshToken);
    void finishRefresh(const Error& error);
    static void deliver(const Waiter& waiter, const Error& error);

    mutable std::mutex m_mutex;
    OAuth2Configuration m_configuration;
    QString m_accessToken;
    QString m_refreshToken;
    QString m_tokenType;
    QString m_scope;
    QDateTime m_expirationDate;
    int m_expiryMargin = -1; // seconds; -1: expiryMarginSeconds
    QString m_userEmail;
    bool m_refreshing = false;
    QList<Waiter> m_waiters;
    int m_tokenRequestCount = 0;
};

} // namespace tavrel
