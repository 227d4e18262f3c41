#pragma once

#include <QString>

namespace tavrel {

// gAcl:additionalRole, such as "commenter" next to the role "reader".
class GDataACLAdditionalRole
{
public:
    GDataACLAdditionalRole() = default;
    explicit GDataACLAdditionalRole(QString value) : m_value(std::move(value)) {}

    const QString& value() const { return m_value; }

    bool operator==(const GDataACLAdditionalRole& other) const = default;

private:
    QString m_value;
};

} // namespace tavrel
