#include "model/GeneralACLPermissionAdapter.h"

#include "model/RecordValue.h"

namespace tavrel {

std::shared_ptr<GeneralACLPermissionAdapter>
GeneralACLPermissionAdapter::adapterObjectForUsername(const QString& /*username*/) const
{
    return std::make_shared<GeneralACLPermissionAdapter>(*this);
}

void GeneralACLPermissionAdapter::setHasLink(const QVariant& hasLink)
{
    m_hasLink = recordvalue::boolOrNil(hasLink);
}

GDataEntryACLPtr GeneralACLPermissionAdapter::gdataEntry() const
{
    auto entry = GDataEntryACL::ACLEntry();
    if (m_type == QLatin1String("default"))
        entry->setScope(GDataACLScope(m_type, QString()));
    else if (m_type == QLatin1String("domain"))
        entry->setScope(GDataACLScope(m_type, m_username.mid(m_username.lastIndexOf(QLatin1Char('@')) + 1)));
    const bool commenter = m_role == QLatin1String("commenter");
    const GDataACLRole base(commenter ? QStringLiteral("reader") : m_role);
    if (m_hasLink.isValid() && m_hasLink.toBool())
        entry->setKeyedRole(GDataACLKeyedRole(QStringLiteral("with link"), base));
    else
        entry->setRole(base);
    QList<GDataACLAdditionalRole> additional;
    if (commenter)
        additional << GDataACLAdditionalRole(QStringLiteral("commenter"));
    entry->setAdditionalRoles(additional);
    entry->addNamespaces(GDataEntryACL::ACLNamespaces());
    return entry;
}

} // namespace tavrel
