#pragma once

#include <QString>

namespace tavrel {

// One desktop notification: its kind ("TQActionDidFinishNotification"), title, text and an
// identifier unique to the request.
class TQExternalNotification
{
public:
    static inline const QString kTQActionDidFinishNotification =
        QStringLiteral("TQActionDidFinishNotification");

    static TQExternalNotification notificationWithName(const QString& name, const QString& title,
                                                       const QString& message, const QString& identifier)
    {
        return TQExternalNotification(name, title, message, identifier);
    }

    TQExternalNotification() = default;
    TQExternalNotification(QString name, QString title, QString message, QString identifier)
        : m_name(std::move(name)), m_title(std::move(title)), m_message(std::move(message)),
          m_identifier(std::move(identifier))
    {}

    const QString& name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    const QString& title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    const QString& message() const { return m_message; }
    void setMessage(const QString& message) { m_message = message; }
    const QString& identifier() const { return m_identifier; }
    void setIdentifier(const QString& identifier) { m_identifier = identifier; }

private:
    QString m_name;
    QString m_title;
    QString m_message;
    QString m_identifier;
};

} // namespace tavrel
