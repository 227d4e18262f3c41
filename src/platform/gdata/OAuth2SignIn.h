#pragma once

#include "platform/gdata/OAuth2Authentication.h"
#include "platform/gdata/OAuth2Configuration.h"

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <memory>

class QNetworkAccessManager;
class QOAuth2AuthorizationCodeFlow;

namespace tavrel {

class OAuth2LoopbackReplyHandler;

// Signs a user in with the authorization-code flow: the authorization page opens in the system browser,
// which comes back to a listener on 127.0.0.1; the code is exchanged for tokens and the user's address is
// read from the user-info endpoint. Lives on the main thread. The flow ends exactly once: with an
// authentication, with an error, or, when the user refused or the caller cancelled, with the error
// kErrorWindowClosed (-1000) of OAuth2Authentication::kErrorDomain.
class OAuth2SignIn : public QObject
{
    Q_OBJECT

public:
    using BrowserOpener = std::function<void(const QUrl& authorizationURL)>;
    using CompletionHandler =
        std::function<void(std::shared_ptr<OAuth2Authentication> authentication, const Error& error)>;

    // Opens the system browser by default; tests play the browser instead. Applies to sign-ins made later.
    static void setDefaultBrowserOpener(BrowserOpener opener);
    static BrowserOpener defaultBrowserOpener();

    explicit OAuth2SignIn(const OAuth2Configuration& configuration, QObject* parent = nullptr);
    ~OAuth2SignIn() override;

    const OAuth2Configuration& configuration() const { return m_configuration; }
    void setBrowserOpener(BrowserOpener opener) { m_browserOpener = std::move(opener); }

    // Starts listening on the loopback and opens the authorization page. A second call while one runs
    // is ignored.
    void signIn(CompletionHandler completionHandler);
    // The user gave up (closed the waiting dialog): ends the flow as closed.
    void cancelSignIn();
    bool isSigningIn() const { return static_cast<bool>(m_completionHandler); }

private:
    void onGranted();
    void onAuthorizationError(const QString& error, const QString& description);
    void finish(std::shared_ptr<OAuth2Authentication> authentication, const Error& error);
    void tearDown();

    OAuth2Configuration m_configuration;
    BrowserOpener m_browserOpener;
    CompletionHandler m_completionHandler;
    QNetworkAccessManager* m_network = nullptr;
    QOAuth2AuthorizationCodeFlow* m_flow = nullptr;
    OAuth2LoopbackReplyHandler* m_replyHandler = nullptr;
};

} // namespace tavrel
