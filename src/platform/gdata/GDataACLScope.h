#pragma once

#include <QString>

namespace tavrel {

// gAcl:scope: type "user", "group", "domain" or "default", and the value (address or domain; none for
// "default").
class GDataACLScope
{
public:
    GDataACLScope() = default;
    GDataACLScope(QString type, QString value) : m_type(std::move(type)), m_value(std::move(value)) {}

    const QString& type() const { return m_type; }
    const QString& value() const { return m_value; }

    bool operator==(const GDataACLScope& other) const = default;

private:
    QString m_type;
    QString m_value;
};

} // namespace tavrel
