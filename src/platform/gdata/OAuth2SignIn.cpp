#include "platform/gdata/OAuth2SignIn.h"

#include "platform/gdata/OAuth2LoopbackReplyHandler.h"
#include "platform/system/TQLog.h"

#include <QDesktopServices>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QOAuth2AuthorizationCodeFlow>
#include <mutex>

namespace tavrel {

namespace {
std::mutex s_openerMutex;
OAuth2SignIn::BrowserOpener& openerSlot()
{
    static OAuth2SignIn::BrowserOpener opener;
    return opener;
}

Error signInError(qint64 code, const QString& description)
{
    return Error(OAuth2Authentication::kErrorDomain, code, {{Error::kLocalizedDescriptionKey, description}});
}
} // namespace

void OAuth2SignIn::setDefaultBrowserOpener(BrowserOpener opener)
{
    std::lock_guard lock(s_openerMutex);
    openerSlot() = std::move(opener);
}

OAuth2SignIn::BrowserOpener OAuth2SignIn::defaultBrowserOpener()
{
    std::lock_guard lock(s_openerMutex);
    if (openerSlot())
        return openerSlot();
    return [](const QUrl& url) {
        if (!QDesktopServices::openUrl(url))
            TQLog("E: OAuth2SignIn: Cannot open the browser for %@", url.toString());
    };
}

OAuth2SignIn::OAuth2SignIn(const OAuth2Configuration& configuration, QObject* parent)
    : QObject(parent), m_configuration(configuration), m_browserOpener(defaultBrowserOpener())
{}

OAuth2SignIn::~OAuth2SignIn() = default;

void OAuth2SignIn::signIn(CompletionHandler completionHandler)
{
    if (isSigningIn())
        return;
    m_completionHandler = completionHandler ? std::move(completionHandler)
                                            : [](std::shared_ptr<OAuth2Authentication>, const Error&) {};

    m_network = new QNetworkAccessManager(this);
    m_flow = new QOAuth2AuthorizationCodeFlow(m_network, this);
    m_replyHandler = new OAuth2LoopbackReplyHandler(QHostAddress(QHostAddress::LocalHost), 0, this);
    if (!m_replyHandler->isListening()) {
        finish(nullptr, signInError(OAuth2Authentication::kErrorAuthorizationFailed,
                                    QStringLiteral("Cannot listen on the loopback for the sign-in.")));
        return;
    }
    m_flow->setReplyHandler(m_replyHandler);
    m_flow->setAuthorizationUrl(m_configuration.authorizationURL());
    m_flow->setAccessTokenUrl(m_configuration.tokenURL());
    m_flow->setClientIdentifier(m_configuration.clientID());
    m_flow->setClientIdentifierSharedKey(m_configuration.clientSecret());
    m_flow->setScope(m_configuration.scope());

    connect(m_flow, &QAbstractOAuth::authorizeWithBrowser, this, [this](const QUrl& url) {
        if (m_browserOpener)
            m_browserOpener(url);
    });
    connect(m_flow, &QAbstractOAuth::granted, this, &OAuth2SignIn::onGranted);
    connect(m_flow, &QAbstractOAuth2::error, this,
            [this](const QString& error, const QString& description, const QUrl&) {
                onAuthorizationError(error, description);
            });
    connect(m_replyHandler, &OAuth2LoopbackReplyHandler::tokenRequestFailed, this,
            [this](int status, const QString& reason) {
                finish(nullptr,
                       signInError(status > 0 ? status : OAuth2Authentication::kErrorTokenRequestFailed,
                                   QStringLiteral("The sign-in code was not accepted (%1).").arg(reason)));
            });
    m_flow->grant();
}

void OAuth2SignIn::cancelSignIn()
{
    if (!isSigningIn())
        return;
    finish(nullptr,
           signInError(OAuth2Authentication::kErrorWindowClosed, QStringLiteral("The sign-in was closed.")));
}

void OAuth2SignIn::onAuthorizationError(const QString& error, const QString& description)
{
    if (!isSigningIn())
        return;
    // A user who refuses on the provider's page has closed the sign-in.
    if (error == QLatin1String("access_denied")) {
        finish(nullptr, signInError(OAuth2Authentication::kErrorWindowClosed,
                                    QStringLiteral("The sign-in was closed.")));
        return;
    }
    finish(nullptr,
           signInError(OAuth2Authentication::kErrorAuthorizationFailed,
                       QStringLiteral("The sign-in failed: %1 %2").arg(error, description).trimmed()));
}

void OAuth2SignIn::onGranted()
{
    if (!isSigningIn())
        return;
    auto authentication = OAuth2Authentication::create(m_configuration);
    QVariantMap tokens = m_flow->extraTokens();
    tokens.insert(QStringLiteral("access_token"), m_flow->token());
    if (!m_flow->refreshToken().isEmpty())
        tokens.insert(QStringLiteral("refresh_token"), m_flow->refreshToken());
    if (m_flow->expirationAt().isValid())
        tokens.insert(QStringLiteral("expires_in"),
                      QDateTime::currentDateTimeUtc().secsTo(m_flow->expirationAt().toUTC()));
    // The flow keeps the type to itself; it only accepts bearer tokens.
    if (!tokens.contains(QStringLiteral("token_type")))
        tokens.insert(QStringLiteral("token_type"), QStringLiteral("Bearer"));
    authentication->setKeysForResponseDictionary(tokens);

    // The address comes from the user-info endpoint.
    QNetworkRequest request(m_configuration.userInfoURL());
    authentication->authorizeRequestNow(&request);
    QNetworkReply* reply = m_network->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply, authentication] {
        reply->deleteLater();
        if (!isSigningIn())
            return;
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QString email =
            QJsonDocument::fromJson(reply->readAll()).object().value(QStringLiteral("email")).toString();
        if (reply->error() != QNetworkReply::NoError || email.isEmpty()) {
            finish(nullptr, signInError(status > 0 ? status : OAuth2Authentication::kErrorAuthorizationFailed,
                                        QStringLiteral("Cannot read the signed-in user's address: %1")
                                            .arg(reply->errorString())));
            return;
        }
        authentication->setUserEmail(email);
        finish(authentication, Error());
    });
}

void OAuth2SignIn::finish(std::shared_ptr<OAuth2Authentication> authentication, const Error& error)
{
    CompletionHandler handler = std::move(m_completionHandler);
    m_completionHandler = nullptr;
    tearDown();
    if (handler)
        handler(std::move(authentication), error);
}

void OAuth2SignIn::tearDown()
{
    // Called from their own signals: let them return first.
    if (m_replyHandler) {
        m_replyHandler->close();
        m_replyHandler->deleteLater();
    }
    if (m_flow)
        m_flow->deleteLater();
    if (m_network)
        m_network->deleteLater();
    m_replyHandler = nullptr;
    m_flow = nullptr;
    m_network = nullptr;
}

} // namespace tavrel
