#pragma once

#include "platform/gdata/GDataACLKeyedRole.h"
#include "platform/gdata/GDataACLScope.h"
#include "platform/gdata/GDataEntryBase.h"

namespace tavrel {

class GDataEntryACL;
using GDataEntryACLPtr = std::shared_ptr<GDataEntryACL>;

// An access-list entry: scope, role, the keyed role (access by link) and additional roles.
class GDataEntryACL : public GDataEntryBase
{
    TAVREL_GDATA_OBJECT(GDataEntryACL, GDataEntryBase)

    // A new entry with the access-rule kind.
    static GDataEntryACLPtr ACLEntry();
    static GDataEntryACLPtr ACLEntryWithScope(const GDataACLScope& scope, const GDataACLRole& role);
    static QMap<QString, QString> ACLNamespaces();

    std::optional<GDataACLScope> scope() const;
    void setScope(const std::optional<GDataACLScope>& scope);
    std::optional<GDataACLRole> role() const;
    void setRole(const std::optional<GDataACLRole>& role);
    std::optional<GDataACLKeyedRole> keyedRole() const;
    void setKeyedRole(const std::optional<GDataACLKeyedRole>& keyedRole);
    QList<GDataACLAdditionalRole> additionalRoles() const;
    void setAdditionalRoles(const QList<GDataACLAdditionalRole>& roles);
};

} // namespace tavrel
