#pragma once

#include <QString>

namespace tavrel {

// gAcl:role: "owner", "writer", "reader", "none" ...
class GDataACLRole
{
public:
    GDataACLRole() = default;
    explicit GDataACLRole(QString value) : m_value(std::move(value)) {}

    const QString& value() const { return m_value; }

    bool operator==(const GDataACLRole& other) const = default;

private:
    QString m_value;
};

} // namespace tavrel
