#include "model/TQACLEntry.h"

namespace tavrel {

QString TQACLEntry::stringForRole(qint32 role)
{
    switch (role) {
    case Reader:
        return QStringLiteral("reader");
    case Commenter:
        return QStringLiteral("commenter");
    case Writer:
        return QStringLiteral("writer");
    case Owner:
        return QStringLiteral("owner");
    default:
        return QLatin1String("");
    }
}

QString TQACLEntry::stringForType(qint32 type)
{
    switch (type) {
    case User:
        return QStringLiteral("user");
    case Group:
        return QStringLiteral("group");
    default:
        return QLatin1String("");
    }
}

QString TQACLEntry::stringRole() const
{
    return stringForRole(m_role);
}

QString TQACLEntry::stringType() const
{
    return stringForType(m_type);
}

QString TQACLEntry::description() const
{
    return QStringLiteral("Type: %1   Value: %2   Role: %3").arg(stringType(), m_value, stringRole());
}

GDataEntryACLPtr TQACLEntry::gdataEntry() const
{
    auto entry = GDataEntryACL::ACLEntry();
    if (m_role == Commenter) {
        entry->setRole(GDataACLRole(QStringLiteral("reader")));
        entry->setAdditionalRoles({GDataACLAdditionalRole(QStringLiteral("commenter"))});
    } else {
        entry->setRole(GDataACLRole(stringRole()));
    }
    entry->setScope(GDataACLScope(stringType(), m_value));
    entry->setNamespaces(GDataEntryACL::ACLNamespaces());
    return entry;
}

} // namespace tavrel
