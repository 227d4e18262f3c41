#include "platform/gdata/OAuth2Authentication.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QThread>
#include <QUrlQuery>

namespace tavrel {

const QString OAuth2Authentication::kErrorDomain = QStringLiteral("com.tavrel.OAuth2");

namespace {

// The one thread that sends token requests, with its network access manager; stopped when the
// application object goes away.
class TokenThread
{
public:
    static QObject* context()
    {
        std::lock_guard lock(s_mutex);
        if (!s_context) {
            s_thread = new QThread;
            s_thread->setObjectName(QStringLiteral("OAuth2TokenThread"));
            s_context = new QObject;
            s_context->moveToThread(s_thread);
            s_thread->start();
            qAddPostRoutine(&TokenThread::stop);
        }
        return s_context;
    }

    // Only on the token thread.
    static QNetworkAccessManager* networkAccessManager()
    {
        auto* manager = s_context->findChild<QNetworkAccessManager*>();
        if (!manager)
            manager = new QNetworkAccessManager(s_context);
        return manager;
    }

private:
    static void stop()
    {
        std::lock_guard lock(s_mutex);
        if (!s_context)
            return;
        QObject* context = s_context;
        QMetaObject::invokeMethod(
            context, [context] { delete context; }, Qt::BlockingQueuedConnection);
        s_thread->quit();
        s_thread->wait();
        delete s_thread;
        s_thread = nullptr;
        s_context = nullptr;
    }

    static inline std::mutex s_mutex;
    static inline QThread* s_thread = nullptr;
    static inline QObject* s_context = nullptr;
};

Error tokenError(qint64 code, const QString& description, const QVariantMap& extra = {})
{
    QVariantMap userInfo = extra;
    userInfo.insert(Error::kLocalizedDescriptionKey, description);
    return Error(OAuth2Authentication::kErrorDomain, code, userInfo);
}

QVariantMap parseTokenAnswer(const QByteArray& body)
{
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (document.isObject())
        return document.object().toVariantMap();
    // Some providers answer in form encoding.
    QVariantMap map;
    const QUrlQuery query(QString::fromUtf8(body).trimmed());
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded))
        map.insert(key, value);
    return map;
}

const QString kAccessTokenKey = QStringLiteral("access_token");
const QString kRefreshTokenKey = QStringLiteral("refresh_token");
const QString kExpiresInKey = QStringLiteral("expires_in");
const QString kTokenTypeKey = QStringLiteral("token_type");
const QString kScopeKey = QStringLiteral("scope");
const QString kExpirationDateKey = QStringLiteral("expiration_date");
const QString kEmailKey = QStringLiteral("email");

} // namespace

std::shared_ptr<OAuth2Authentication> OAuth2Authentication::create(const OAuth2Configuration& configuration)
{
    return std::shared_ptr<OAuth2Authentication>(new OAuth2Authentication(configuration));
}

std::shared_ptr<OAuth2Authentication>
OAuth2Authentication::authenticationWithResponseString(const OAuth2Configuration& configuration,
                                                       const QString& responseString)
{
    auto authentication = create(configuration);
    if (!authentication->setKeysForResponseString(responseString))
        return nullptr;
    return authentication;
}

OAuth2Authentication::OAuth2Authentication(const OAuth2Configuration& configuration)
    : m_configuration(configuration)
{}

OAuth2Authentication::~OAuth2Authentication()
{
    // A refresh under way keeps the object alive, so nobody waits here any more.
}

OAuth2Configuration OAuth2Authentication::configuration() const
{
    std::lock_guard lock(m_mutex);
    return m_configuration;
}

QString OAuth2Authentication::accessToken() const
{
    std::lock_guard lock(m_mutex);
    return m_accessToken;
}

QString OAuth2Authentication::refreshToken() const
{
    std::lock_guard lock(m_mutex);
    return m_refreshToken;
}

QString OAuth2Authentication::tokenType() const
{
    std::lock_guard lock(m_mutex);
    return m_tokenType;
}

QString OAuth2Authentication::scope() const
{
    std::lock_guard lock(m_mutex);
    return m_scope;
}

QDateTime OAuth2Authentication::expirationDate() const
{
    std::lock_guard lock(m_mutex);
    return m_expirationDate;
}

QString OAuth2Authentication::userEmail() const
{
    std::lock_guard lock(m_mutex);
    return m_userEmail;
}

void OAuth2Authentication::setAccessToken(const QString& accessToken)
{
    std::lock_guard lock(m_mutex);
    m_accessToken = accessToken;
}

void OAuth2Authentication::setRefreshToken(const QString& refreshToken)
{
    std::lock_guard lock(m_mutex);
    m_refreshToken = refreshToken;
}

void OAuth2Authentication::setExpirationDate(const QDateTime& expirationDate)
{
    std::lock_guard lock(m_mutex);
    m_expirationDate = expirationDate.toUTC();
    m_expiryMargin = -1;
}

void OAuth2Authentication::setUserEmail(const QString& userEmail)
{
    std::lock_guard lock(m_mutex);
    m_userEmail = userEmail;
}

void OAuth2Authentication::setKeysForResponseDictionary(const QVariantMap& response)
{
    std::lock_guard lock(m_mutex);
    if (response.contains(kAccessTokenKey))
        m_accessToken = response.value(kAccessTokenKey).toString();
    const QString refresh = response.value(kRefreshTokenKey).toString();
    if (!refresh.isEmpty())
        m_refreshToken = refresh;
    if (response.contains(kTokenTypeKey))
        m_tokenType = response.value(kTokenTypeKey).toString();
    if (response.contains(kScopeKey))
        m_scope = response.value(kScopeKey).toString();
    bool ok = false;
    const qint64 expiresIn = response.value(kExpiresInKey).toLongLong(&ok);
    m_expirationDate = ok ? QDateTime::currentDateTimeUtc().addSecs(expiresIn) : QDateTime();
    m_expiryMargin = ok ? int(qMin<qint64>(expiryMarginSeconds, expiresIn / 2)) : -1;
}

QString OAuth2Authentication::persistenceResponseString() const
{
    std::lock_guard lock(m_mutex);
    QList<std::pair<QString, QString>> items;
    if (!m_accessToken.isEmpty())
        items.append({kAccessTokenKey, m_accessToken});
    if (!m_refreshToken.isEmpty())
        items.append({kRefreshTokenKey, m_refreshToken});
    if (m_expirationDate.isValid())
        items.append({kExpirationDateKey, QString::number(m_expirationDate.toSecsSinceEpoch())});
    if (!m_tokenType.isEmpty())
        items.append({kTokenTypeKey, m_tokenType});
    if (!m_scope.isEmpty())
        items.append({kScopeKey, m_scope});
    if (!m_userEmail.isEmpty())
        items.append({kEmailKey, m_userEmail});
    QStringList parts;
    for (const auto& [key, value] : items)
        parts.append(key + QLatin1Char('=') + QString::fromLatin1(QUrl::toPercentEncoding(value)));
    return parts.join(QLatin1Char('&'));
}

bool OAuth2Authentication::setKeysForResponseString(const QString& responseString)
{
    QMap<QString, QString> values;
    for (const QString& part : responseString.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const qsizetype equals = part.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        values.insert(part.left(equals), QUrl::fromPercentEncoding(part.mid(equals + 1).toLatin1()));
    }
    if (values.value(kAccessTokenKey).isEmpty() && values.value(kRefreshTokenKey).isEmpty())
        return false;
    std::lock_guard lock(m_mutex);
    m_accessToken = values.value(kAccessTokenKey);
    m_refreshToken = values.value(kRefreshTokenKey);
    m_tokenType = values.value(kTokenTypeKey);
    m_scope = values.value(kScopeKey);
    bool ok = false;
    const qint64 seconds = values.value(kExpirationDateKey).toLongLong(&ok);
    m_expirationDate = ok ? QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC) : QDateTime();
    m_expiryMargin = -1;
    if (values.contains(kEmailKey))
        m_userEmail = values.value(kEmailKey);
    return true;
}

bool OAuth2Authentication::isAccessTokenExpired() const
{
    std::lock_guard lock(m_mutex);
    if (m_accessToken.isEmpty())
        return true;
    if (!m_expirationDate.isValid())
        return false;
    const int margin = m_expiryMargin >= 0 ? m_expiryMargin : expiryMarginSeconds;
    return QDateTime::currentDateTimeUtc().addSecs(margin) >= m_expirationDate;
}

bool OAuth2Authentication::canAuthorize() const
{
    std::lock_guard lock(m_mutex);
    return !m_accessToken.isEmpty() || !m_refreshToken.isEmpty();
}

int OAuth2Authentication::tokenRequestCount() const
{
    std::lock_guard lock(m_mutex);
    return m_tokenRequestCount;
}

QUrl OAuth2Authentication::serviceURL() const
{
    return configuration().serviceURL();
}

bool OAuth2Authentication::authorizeRequestNow(QNetworkRequest* request)
{
    if (!request)
        return false;
    // Another origin never gets the token: the request goes as it is, unsigned.
    if (!mayAuthorizeURL(request->url())) {
        request->setRawHeader("Authorization", QByteArray());
        return true;
    }
    if (isAccessTokenExpired())
        return false;
    const QString token = accessToken();
    request->setRawHeader("Authorization", "Bearer " + token.toUtf8());
    return true;
}

void OAuth2Authentication::authorizeRequest(QNetworkRequest* request, Completion done)
{
    if (authorizeRequestNow(request)) {
        if (done)
            done(Error());
        return;
    }
    std::weak_ptr<OAuth2Authentication> weakSelf = weak_from_this();
    refreshAccessToken([weakSelf, request, done](const Error& error) {
        Error result = error;
        if (result.isNull()) {
            auto self = weakSelf.lock();
            if (!self || !self->authorizeRequestNow(request))
                result = tokenError(kErrorTokenRequestFailed,
                                    QStringLiteral("The token endpoint gave no usable access token."));
        }
        if (done)
            done(result);
    });
}

void OAuth2Authentication::refreshAccessToken(Completion done)
{
    // The completion's context lives in the asking thread, so the answer arrives there.
    Waiter waiter{new QObject, std::move(done)};
    QString refresh;
    {
        std::lock_guard lock(m_mutex);
        m_accessToken.clear();
        m_waiters.append(waiter);
        if (m_refreshing)
            return;
        m_refreshing = true;
        refresh = m_refreshToken;
    }
    if (refresh.isEmpty()) {
        finishRefresh(tokenError(kErrorNoRefreshToken, QStringLiteral("There is no refresh token.")));
        return;
    }
    startTokenRequest(refresh);
}

void OAuth2Authentication::startTokenRequest(const QString& refreshToken)
{
    // Held until the answer came, so a refresh cannot outlive the object it fills.
    auto self = shared_from_this();
    {
        std::lock_guard lock(m_mutex);
        ++m_tokenRequestCount;
    }
    QMetaObject::invokeMethod(
        TokenThread::context(),
        [self, refreshToken] {
            const OAuth2Configuration configuration = self->configuration();
            QNetworkRequest request(configuration.tokenURL());
            request.setHeader(QNetworkRequest::ContentTypeHeader,
                              QStringLiteral("application/x-www-form-urlencoded"));
            request.setRawHeader("Accept", "application/json");
            QUrlQuery form;
            const auto add = [&form](const QString& key, const QString& value) {
                form.addQueryItem(key, QString::fromLatin1(QUrl::toPercentEncoding(value)));
            };
            add(QStringLiteral("grant_type"), QStringLiteral("refresh_token"));
            add(QStringLiteral("refresh_token"), refreshToken);
            add(QStringLiteral("client_id"), configuration.clientID());
            add(QStringLiteral("client_secret"), configuration.clientSecret());
            QNetworkReply* reply = TokenThread::networkAccessManager()->post(
                request, form.toString(QUrl::FullyEncoded).toUtf8());
            QObject::connect(reply, &QNetworkReply::finished, reply, [self, reply] {
                reply->deleteLater();
                const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                const QVariantMap answer = parseTokenAnswer(reply->readAll());
                const QString providerError = answer.value(QStringLiteral("error")).toString();
                Error error;
                if (status >= 400) {
                    error = tokenError(
                        status,
                        QStringLiteral("The token endpoint refused the refresh (%1).")
                            .arg(providerError.isEmpty() ? QString::number(status) : providerError),
                        {{QStringLiteral("error"), providerError}});
                } else if (reply->error() != QNetworkReply::NoError) {
                    error = tokenError(kErrorTokenRequestFailed, reply->errorString());
                } else if (answer.value(kAccessTokenKey).toString().isEmpty()) {
                    error =
                        tokenError(kErrorTokenRequestFailed,
                                   QStringLiteral("The token endpoint answered without an access token."));
                } else {
                    self->setKeysForResponseDictionary(answer);
                }
                self->finishRefresh(error);
            });
        },
        Qt::QueuedConnection);
}

void OAuth2Authentication::finishRefresh(const Error& error)
{
    QList<Waiter> waiters;
    {
        std::lock_guard lock(m_mutex);
        waiters.swap(m_waiters);
        m_refreshing = false;
    }
    for (const Waiter& waiter : waiters)
        deliver(waiter, error);
}

void OAuth2Authentication::deliver(const Waiter& waiter, const Error& error)
{
    QObject* context = waiter.context.data();
    if (!context)
        return;
    QMetaObject::invokeMethod(
        context,
        [context, done = waiter.done, error] {
            if (done)
                done(error);
            delete context;
        },
        Qt::QueuedConnection);
}

} // namespace tavrel
