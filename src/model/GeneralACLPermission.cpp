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

} // namespace tavrel
