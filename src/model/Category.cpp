#include "model/Category.h"

#include "model/ContextFetch.h"
#include "model/File.h"
#include "model/Mail.h"
#include "model/RecordLookupCache.h"
#include "model/TQMOCManager.h"
#include "platform/gdata/GDataEntryFolderDoc.h"
#include "platform/system/TQLog.h"

namespace tavrel {

namespace {
const QString kShared = QStringLiteral("shared_folder_big");
const QString kPlain = QStringLiteral("folder_big");

bool sameAddress(const QString& a, const QString& b)
{
    return !a.isEmpty() && a.compare(b, Qt::CaseInsensitive) == 0;
}

bool listsUser(const QList<std::shared_ptr<Mail>>& mails, const QString& user)
{
    for (const auto& m : mails)
        if (m && sameAddress(m->address(), user))
            return true;
    return false;
}
} // namespace

QList<std::shared_ptr<File>> Category::files() const
{
    return toMany<File>(QStringLiteral("files"));
}

std::shared_ptr<Category> Category::parent() const
{
    return toOne<Category>(QStringLiteral("parent"));
}

void Category::setParent(const std::shared_ptr<Category>& parent)
{
    setToOne(QStringLiteral("parent"), parent);
}

QList<std::shared_ptr<Category>> Category::sons() const
{
    return toMany<Category>(QStringLiteral("sons"));
}

QString Category::iconPath() const
{
    return iconPathForUser(TQMOCManager::usernameForContext(managedObjectContext()));
}

QString Category::iconPathForUser(const QString& currentUser) const
{
    const auto ownerMail = owner();
    if (ownerMail && sameAddress(ownerMail->address(), currentUser)) {
        const bool shared = toManyCount(QStringLiteral("viewers")) > 0 ||
                            toManyCount(QStringLiteral("editors")) > 0 ||
                            toManyCount(QStringLiteral("commenters")) > 0;
        return shared ? kShared : kPlain;
    }
    const bool member = listsUser(editors(), currentUser) || listsUser(viewers(), currentUser) ||
                        listsUser(commenters(), currentUser);
    return member ? kShared : kPlain;
}

void Category::fillRelationshipFromGdataEntry(const GDataEntryPtr& gdataEntry, ManagedObjectContext* context)
{
    const auto entry = std::dynamic_pointer_cast<GDataEntryDocBase>(gdataEntry);
    if (!entry)
        return;
    FileEntryAbstract::fillRelationshipFromGdataEntry(entry, context);
    std::shared_ptr<Category> found;
    for (const GDataLink& link : entry->parentLinks()) {
        if (auto category = categoryWithHref(link.href(), context))
            found = category;
        else
            TQLog("E: Category founded in XML but not on CoreData");
    }
    if (found && parent() != found)
        setParent(found);
}

GDataEntryDocPtr Category::gdataEntry() const
{
    return entryFromXml<GDataEntryFolderDoc>(xml());
}

std::shared_ptr<Category> Category::categoryWithIdentifier(const QString& identifier,
                                                           ManagedObjectContext* context)
{
    if (identifier.isNull())
        return {};
    RecordLookupCache* cache = RecordLookupCache::current(context);
    if (cache) {
        if (auto found = cache->category(identifier))
            return found;
    }
    FetchRequest request("Category");
    request.setPredicate(Predicate::format("identifier = %@", identifier));
    request.setFetchLimit(1);
    auto found = ContextFetch::firstRecord<Category>(context, request);
    if (cache)
        cache->rememberCategory(found);
    return found;
}

std::shared_ptr<Category> Category::categoryWithHref(const QString& href, ManagedObjectContext* context)
{
    return categoryWithIdentifier(identifierFromGDataHref(href), context);
}

QVariant Category::valueForKey(const QString& key) const
{
    if (key == QLatin1String("iconPath") || key == QLatin1String("previewPath"))
        return iconPath();
    return FileEntryAbstract::valueForKey(key);
}

} // namespace tavrel
