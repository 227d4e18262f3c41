#include "model/GeneralACLPermission.h"

#include "model/FileEntryAbstract.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "model/RecordValue.h"

namespace tavrel {

QString GeneralACLPermission::type() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("type")));
}

void GeneralACLPermission::setType(const QString& type)
{
    setValueForKey(QStringLiteral("type"), recordvalue::stringOrNil(type));
}

QString GeneralACLPermission::role() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("role")));
}

void GeneralACLPermission::setRole(const QString& role)
{
    setValueForKey(QStringLiteral("role"), recordvalue::stringOrNil(role));
}

QVariant GeneralACLPermission::hasLink() const
{
    return recordvalue::boolOrNil(valueForKey(QStringLiteral("hasLink")));
}

void GeneralACLPermission::setHasLink(const QVariant& hasLink)
{
    setValueForKey(QStringLiteral("hasLink"), recordvalue::boolOrNil(hasLink));
}

std::shared_ptr<FileEntryAbstract> GeneralACLPermission::entry() const
{
    return toOne<FileEntryAbstract>(QStringLiteral("entry"));
}

std::shared_ptr<GeneralACLPermissionAdapter>
GeneralACLPermission::adapterObjectForUsername(const QString& username) const
{
    auto adapter = GeneralACLPermissionAdapter::generalACLPermissionAdapterWithUsername(username);
    adapter->setType(type());
    adapter->setRole(role());
    adapter->setHasLink(hasLink());
    adapter->setXml(xml());
    return adapter;
}

void GeneralACLPermission::fillAttributeFromGDataEntry(const GDataEntryPtr& entry)
{
    const auto acl = std::dynamic_pointer_cast<GDataEntryACL>(entry);
    if (!acl)
        return;
    const auto scope = acl->scope();
    setType(scope ? scope->type() : QString());
    setRole(generalACLRoleForGDataEntryACL(*acl));
    const auto keyed = acl->keyedRole();
    setHasLink(bool(keyed && !keyed->key().isNull()));
    const QMap<QString, QString> own = acl->completeNamespaces();
    acl->addNamespaces(GDataEntryACL::ACLNamespaces());
    if (!own.isEmpty())
        acl->addNamespaces(own);
    const auto copy = acl->copyObject();
    const QString text = copy ? copy->XMLString() : QString();
    if (!text.isEmpty())
        setXml(text);
}

GDataEntryACLPtr GeneralACLPermission::gdataEntry() const
{
    return entryFromXml<GDataEntryACL>(xml());
}

QString GeneralACLPermission::generalACLRoleForGDataEntryACL(const GDataEntryACL& entry)
{
    const auto role = entry.role();
    const auto keyed = entry.keyedRole();
    QString result = role ? role->value() : QString();
    // Access by link carries its role inside the key's element, with no role of its own beside it.
    if ((result.isEmpty() || result == QLatin1String("none")) && keyed)
        result = keyed->role().value();
    if (result == QLatin1String("reader") && keyed) {
        for (const auto& additional : keyed->additionalRoles())
            if (additional.value() == QLatin1String("commenter"))
                return QStringLiteral("commenter");
    }
    return result;
}

} // namespace tavrel
