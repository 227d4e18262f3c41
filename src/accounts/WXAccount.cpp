#include "accounts/WXAccount.h"

#include "accounts/TQAccount.h"

namespace tavrel {

const QString WXAccount::kAuthTokenKey = QStringLiteral("authToken");
const QString WXAccount::kUserMailKey = QStringLiteral("userMail");
const QString WXAccount::kClassKey = QStringLiteral("class");

std::shared_ptr<WXAccount> WXAccount::accountWithAuthToken(std::shared_ptr<OAuth2Authentication> authToken)
{
    return std::make_shared<WXAccount>(std::move(authToken));
}

WXAccount::WXAccount(std::shared_ptr<OAuth2Authentication> authToken, QObject* parent)
    : QObject(parent), m_authToken(std::move(authToken))
{}

std::shared_ptr<OAuth2Authentication> WXAccount::authToken() const
{
    std::lock_guard lock(m_mutex);
    return m_authToken;
}

void WXAccount::setAuthToken(std::shared_ptr<OAuth2Authentication> authToken)
{
    {
        std::lock_guard lock(m_mutex);
        m_authToken = std::move(authToken);
    }
    emit identifierChanged(identifier());
}

QString WXAccount::identifier() const
{
    const auto token = authToken();
    return token ? token->userEmail() : QString();
}

bool WXAccount::isEqual(const WXAccount* other) const
{
    if (!other)
        return false;
    const QString mine = identifier();
    const QString theirs = other->identifier();
    return !mine.isEmpty() && !theirs.isEmpty() && mine == theirs;
}

QString WXAccount::description() const
{
    return QStringLiteral("[Account] %1").arg(identifier());
}

QJsonObject WXAccount::encode() const
{
    QJsonObject object;
    object.insert(kClassKey, archiveClassName());
    const auto token = authToken();
    object.insert(kAuthTokenKey, token ? token->persistenceResponseString() : QString());
    object.insert(kUserMailKey, identifier());
    return object;
}

std::shared_ptr<WXAccount> WXAccount::decode(const QJsonObject& object,
                                             const OAuth2Configuration& configuration, QString* reason)
{
    const auto fail = [reason](const QString& text) {
        if (reason)
            *reason = text;
        return std::shared_ptr<WXAccount>();
    };
    if (!object.value(kAuthTokenKey).isString() || !object.value(kUserMailKey).isString())
        return fail(QStringLiteral("an account without \"authToken\" or \"userMail\""));
    const QString className = object.value(kClassKey).toString(QStringLiteral("WXAccount"));
    if (className != QLatin1String("WXAccount") && className != QLatin1String("TQAccount"))
        return fail(QStringLiteral("an account of the unknown class \"%1\"").arg(className));
    auto authentication = OAuth2Authentication::authenticationWithResponseString(
        configuration, object.value(kAuthTokenKey).toString());
    if (!authentication)
        return fail(QStringLiteral("an account without tokens"));
    authentication->setUserEmail(object.value(kUserMailKey).toString());
    if (className == QLatin1String("TQAccount"))
        return std::make_shared<TQAccount>(authentication);
    return std::make_shared<WXAccount>(authentication);
}

} // namespace tavrel
