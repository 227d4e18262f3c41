#include "lists/DocumentRowRoles.h"

#include "controls/TQBytesToReadableStringTransformer.h"
#include "lists/ListModel.h"
#include "model/Category.h"
#include "model/File.h"
#include "model/GeneralACLPermission.h"
#include "model/Mail.h"
#include "model/TQUtility.h"
#include "platform/ui/StringTable.h"

namespace tavrel {

QString DocumentRowRoles::subtitle(const FileEntryAbstract& entry, const TQGroupWrapperPtr& group,
                                   bool bySize, const QString& me)
{
    if (bySize)
        return TQBytesToReadableStringTransformer().transformedValue(entry.quotaBytesUsed()).toString();
    if (group) {
        QString name;
        if (const std::shared_ptr<Mail> editor = entry.lastModifiedBy()) {
            name = editor->displayName();
            if (name.isEmpty())
                name = editor->address();
            if (!editor->address().isEmpty() && editor->address() == me)
                name = StringTable::text(QStringLiteral("OnlyME")).toLower();
        }
        if (name.isEmpty())
            name = StringTable::text(QStringLiteral("UnknownUser"));
        return group->stringRepresentationOfDate(entry.updatedDate()) +
               StringTable::format(QStringLiteral("ByFormat"), name);
    }
    return TQUtility::sharedShortDateFormatter().stringFromDate(entry.updatedDate());
}

QString DocumentRowRoles::details(const FileEntryAbstract& entry)
{
    if (const auto* file = dynamic_cast<const File*>(&entry)) {
        QStringList titles;
        for (const std::shared_ptr<Category>& collection : file->categories())
            titles.append(collection->title());
        return titles.join(QStringLiteral(", "));
    }
    if (const auto* collection = dynamic_cast<const Category*>(&entry))
        if (const std::shared_ptr<Category> parent = collection->parent())
            return parent->title();
    return {};
}

QList<ManagedObjectPtr> DocumentRowRoles::people(const FileEntryAbstract& entry, const QString& me)
{
    QList<ManagedObjectPtr> people;
    const std::shared_ptr<Mail> owner = entry.owner();
    if (owner && owner->address() != me)
        people.append(owner);
    for (const auto& list : {entry.editors(), entry.viewers(), entry.commenters()})
        for (const std::shared_ptr<Mail>& person : list)
            people.append(person);
    return people;
}

int DocumentRowRoles::accessIndex(const FileEntryAbstract& entry)
{
    const std::shared_ptr<GeneralACLPermission> acl = entry.generalACL();
    if (!acl)
        return 1;
    const bool byDefault = acl->type() == QLatin1String("default");
    if (acl->hasLink().toBool())
        return byDefault ? 2 : 4;
    return byDefault ? 3 : 5;
}

int DocumentRowRoles::itemState(const FileEntryAbstract& entry)
{
    if (entry.isNew())
        return 1;
    if (entry.hasChange())
        return 2;
    return entry.isStarred() ? 4 : 3;
}

ManagedObjectPtr DocumentRowRoles::link(const FileEntryAbstract& entry)
{
    const std::shared_ptr<GeneralACLPermission> acl = entry.generalACL();
    return acl && !entry.alternateLink().isEmpty() ? ManagedObjectPtr(acl) : nullptr;
}

QVariant DocumentRowRoles::value(const FileEntryAbstract& entry, int role, const TQGroupWrapperPtr& group,
                                 bool bySize, const QString& me)
{
    switch (role) {
    case Qt::DisplayRole:
    case ListModel::TitleRole:
        return entry.title();
    case ListModel::SubtitleRole:
        return subtitle(entry, group, bySize, me);
    case ListModel::DetailsRole:
        return details(entry);
    case ListModel::PeopleRole:
        return QVariant::fromValue(people(entry, me));
    case ListModel::AccessIndexRole:
        return accessIndex(entry);
    case ListModel::ItemStateRole:
        return itemState(entry);
    case ListModel::StarredRole:
        return entry.isStarred();
    case ListModel::LinkRole:
        return QVariant::fromValue(link(entry));
    default:
        return {};
    }
}

QList<int> DocumentRowRoles::recordRoles()
{
    return {Qt::DisplayRole,          ListModel::TitleRole,   ListModel::SubtitleRole,
            ListModel::DetailsRole,   ListModel::PeopleRole,  ListModel::AccessIndexRole,
            ListModel::ItemStateRole, ListModel::StarredRole, ListModel::LinkRole,
            ListModel::ThumbnailRole};
}

QList<int> DocumentRowRoles::accessRoles()
{
    return {ListModel::AccessIndexRole, ListModel::LinkRole};
}

QList<int> DocumentRowRoles::personRoles()
{
    return {ListModel::SubtitleRole, ListModel::PeopleRole};
}

} // namespace tavrel
