#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace tavrel {

// A posted notification: a name, the object it concerns (a QObject pointer or any value, may be
// invalid) and details.
class Notification
{
public:
    Notification() = default;
    Notification(QString name, QVariant object, QVariantMap userInfo)
        : m_name(std::move(name)), m_object(std::move(object)), m_userInfo(std::move(userInfo))
    {}

    const QString& name() const { return m_name; }
    const QVariant& object() const { return m_object; }
    // The object as a QObject, or nullptr when it is a plain value.
    QObject* objectAsQObject() const;
    const QVariantMap& userInfo() const { return m_userInfo; }

    // Whether two notification objects are the same: QObject pointers by identity, values by equality.
    static bool sameObject(const QVariant& a, const QVariant& b);

private:
    QString m_name;
    QVariant m_object;
    QVariantMap m_userInfo;
};

} // namespace tavrel

Q_DECLARE_METATYPE(tavrel::Notification)
