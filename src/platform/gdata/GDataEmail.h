#pragma once

#include <QString>

namespace tavrel {

// A gd:email of a contact.
class GDataEmail
{
public:
    GDataEmail() = default;
    GDataEmail(QString address, QString rel = {}, QString label = {}, bool primary = false,
               QString displayName = {})
        : m_address(std::move(address)), m_rel(std::move(rel)), m_label(std::move(label)), m_primary(primary),
          m_displayName(std::move(displayName))
    {}

    const QString& address() const { return m_address; }
    const QString& rel() const { return m_rel; }
    const QString& label() const { return m_label; }
    bool isPrimary() const { return m_primary; }
    const QString& displayName() const { return m_displayName; }

    bool operator==(const GDataEmail& other) const = default;

private:
    QString m_address;
    QString m_rel;
    QString m_label;
    bool m_primary = false;
    QString m_displayName;
};

} // namespace tavrel
