#pragma once

#include "platform/gdata/GDataACLAdditionalRole.h"
#include "platform/gdata/GDataACLRole.h"

#include <QList>

namespace tavrel {

// gAcl:withKey: access given to whoever holds the key (the link), with its role and additional roles.
class GDataACLKeyedRole
{
public:
    GDataACLKeyedRole() = default;
    GDataACLKeyedRole(QString key, GDataACLRole role, QList<GDataACLAdditionalRole> additionalRoles = {})
        : m_key(std::move(key)), m_role(std::move(role)), m_additionalRoles(std::move(additionalRoles))
    {}

    const QString& key() const { return m_key; }
    const GDataACLRole& role() const { return m_role; }
    const QList<GDataACLAdditionalRole>& additionalRoles() const { return m_additionalRoles; }
    void setAdditionalRoles(const QList<GDataACLAdditionalRole>& roles) { m_additionalRoles = roles; }

    bool operator==(const GDataACLKeyedRole& other) const = default;

private:
    QString m_key;
    GDataACLRole m_role;
    QList<GDataACLAdditionalRole> m_additionalRoles;
};

} // namespace tavrel
