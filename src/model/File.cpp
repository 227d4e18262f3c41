#include "model/File.h"

#include "model/Category.h"
#include "model/ContextFetch.h"
#include "model/FileCachedFile.h"
#include "model/FileCachedIcon.h"
#include "model/RecordValue.h"
#include "platform/store/ManagedObjectContext.h"

namespace tavrel {

QList<std::shared_ptr<Category>> File::categories() const
{
    return toMany<Category>(QStringLiteral("categories"));
}

void File::setCategories(const QList<std::shared_ptr<Category>>& categories)
{
    QList<ManagedObjectPtr> records;
    for (const auto& c : categories)
        records.append(c);
    setToMany(QStringLiteral("categories"), records);
}

std::shared_ptr<FileCachedFile> File::fileCachedFile() const
{
    return toOne<FileCachedFile>(QStringLiteral("fileCachedFile"));
}

std::shared_ptr<FileCachedIcon> File::fileCachedIcon() const
{
    return toOne<FileCachedIcon>(QStringLiteral("fileCachedIcon"));
}

QString File::filePath() const
{
    const auto cached = fileCachedFile();
    return cached ? cached->value() : QString();
}

QString File::iconPath() const
{
    const auto cached = fileCachedIcon();
    return cached ? cached->value() : QString();
}

bool File::isFilePathConsistent() const
{
    const auto cached = fileCachedFile();
    if (!cached)
        return false;
    const QString mine = eTag();
    const QString held = cached->eTag();
    return !mine.isNull() && !held.isNull() && mine == held;
}

void File::fillRelationshipFromGdataEntry(const GDataEntryPtr& gdataEntry, ManagedObjectContext* context)
{
    const auto entry = std::dynamic_pointer_cast<GDataEntryDocBase>(gdataEntry);
    if (!entry)
        return;
    FileEntryAbstract::fillRelationshipFromGdataEntry(entry, context);
    QList<std::shared_ptr<Category>> found;
    for (const GDataLink& link : entry->parentLinks()) {
        // A collection not yet in the store is dropped; the next refresh links it.
        if (auto category = Category::categoryWithHref(link.href(), context);
            category && !found.contains(category))
            found.append(category);
    }
    setCategories(found);
}

std::shared_ptr<File> File::fileWithIdentifier(const QString& identifier, ManagedObjectContext* context)
{
    if (identifier.isNull())
        return {};
    FetchRequest request("File");
    request.setPredicate(Predicate::format("identifier = %@", identifier));
    request.setFetchLimit(1);
    return ContextFetch::firstRecord<File>(context, request);
}

QVariant File::valueForKey(const QString& key) const
{
    if (key == QLatin1String("filePath"))
        return recordvalue::stringOrNil(filePath());
    if (key == QLatin1String("iconPath"))
        return recordvalue::stringOrNil(iconPath());
    if (key == QLatin1String("isFilePathConsistent"))
        return isFilePathConsistent();
    return FileEntryAbstract::valueForKey(key);
}

void File::setValueForKey(const QString& key, const QVariant& value)
{
    FileEntryAbstract::setValueForKey(key, value);
    if (key == QLatin1String("eTag")) {
        didChangeValueForKey(QStringLiteral("filePath"));
        didChangeValueForKey(QStringLiteral("iconPath"));
        didChangeValueForKey(QStringLiteral("isFilePathConsistent"));
    }
}

void File::awakeFromInsert()
{
    FileEntryAbstract::awakeFromInsert();
    if (auto* context = managedObjectContext()) {
        setToOne(QStringLiteral("fileCachedFile"),
                 context->insertNewObject(QStringLiteral("FileCachedFile")));
        const auto icon = context->insertNewObject(QStringLiteral("FileCachedIcon"));
        setToOne(QStringLiteral("fileCachedIcon"), icon);
        if (const auto cachedIcon = std::dynamic_pointer_cast<FileCachedIcon>(icon))
            cachedIcon->registerWatch();
    }
}

void File::willTurnIntoFault()
{
    // The thumbnail's watch on this record needs no ending here: it is held weakly and ends with the
    // thumbnail record or its own fault, and reaching the thumbnail now would load it for nothing.
    FileEntryAbstract::willTurnIntoFault();
}

} // namespace tavrel
