#pragma once

#include "platform/gdata/OAuth2Authentication.h"
#include "platform/gdata/OAuth2Configuration.h"

#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <memory>
#include <mutex>

namespace tavrel {

// One signed-in account: its OAuth 2 authentication, identified by the user's address.
class WXAccount : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString identifier READ identifier NOTIFY identifierChanged)

public:
    static const QString kAuthTokenKey; // "authToken"
    static const QString kUserMailKey;  // "userMail"
    static const QString kClassKey;     // "class"

    static std::shared_ptr<WXAccount> accountWithAuthToken(std::shared_ptr<OAuth2Authentication> authToken);

    explicit WXAccount(std::shared_ptr<OAuth2Authentication> authToken = {}, QObject* parent = nullptr);

    // Read by services on worker threads while the main thread may replace it.
    std::shared_ptr<OAuth2Authentication> authToken() const;
    void setAuthToken(std::shared_ptr<OAuth2Authentication> authToken);
    // The authentication's user address; empty without one.
    QString identifier() const;

    // Equal when both identifiers are present and the same.
    bool isEqual(const WXAccount* other) const;
    QString description() const; // "[Account] <identifier>"

    // The name the archive files this account under.
    virtual QString archiveClassName() const { return QStringLiteral("WXAccount"); }
    // "authToken" (the persistence string), "userMail" and the class name.
    QJsonObject encode() const;
    // Rebuilds an account of the filed class with the application's client; null with a reason when the
    // entry cannot be used.
    static std::shared_ptr<WXAccount>
    decode(const QJsonObject& object, const OAuth2Configuration& configuration, QString* reason = nullptr);

Q_SIGNALS:
    void identifierChanged(const QString& identifier);

private:
    mutable std::mutex m_mutex;
    std::shared_ptr<OAuth2Authentication> m_authToken;
};

using WXAccountList = QList<std::shared_ptr<WXAccount>>;

} // namespace tavrel

Q_DECLARE_METATYPE(std::shared_ptr<tavrel::WXAccount>)
