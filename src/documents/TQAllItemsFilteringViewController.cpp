#include "documents/TQAllItemsFilteringViewController.h"

#include "documents/TQAllItemsController.h"
#include "model/Category.h"
#include "model/File.h"
#include "model/TQUtility.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"

namespace tavrel {

namespace {

// The sort entries in menu order: title key, sort key, ascending.
struct SortEntry
{
    const char* titleKey;
    const char* key;
    bool ascending;
};
const SortEntry kSortEntries[] = {
    {"SortLastModified", "updatedDate", false},
    {"SortOwner", "owner", true},
    {"SortVisibility", "visibility", false},
    {"SortSharings", "sharings", false},
    {"SortName", "title", true},
    {"SortClass", "class", false},
    {"SortSize", "size", false},
    {"SortCollections", "collections", false},
};

// The place's own conditions, then the hidden-files rule and the search every place applies alike.
Predicate placePredicate(const TQAllItemsController& list, QList<Predicate> parts)
{
    if (list.hiddenFiles()) {
        // Collections inside collections, and files in any collection, stay out of the list.
        parts << Predicate::withBlock([](const QVariant& object) {
            const ManagedObjectPtr record = object.value<ManagedObjectPtr>();
            if (auto collection = std::dynamic_pointer_cast<Category>(record))
                return !collection->parent();
            if (auto file = std::dynamic_pointer_cast<File>(record))
                return file->categories().isEmpty();
            return true;
        });
    }
    // The search is the provider's (see setController), so that typing narrows the rows in memory.
    if (list.providerSearchFormat().isEmpty() && !list.searchString().isEmpty())
        parts << Predicate::format(QStringLiteral("title CONTAINS[c] %@"), list.searchString());
    return parts.size() == 1 ? parts.first() : Predicate::andPredicate(parts);
}

} // namespace

TQAllItemsFilteringViewController::TQAllItemsFilteringViewController(QObject* parent)
    : TQAllItemsFilteringViewController(new TQAllItemsController, QStringLiteral("FilteringView"), parent)
{}

TQAllItemsFilteringViewController::TQAllItemsFilteringViewController(TQAllItemsController* list,
                                                                     const QString& nibName, QObject* parent)
    : TQFilteringViewController(nibName, parent)
{
    setTitle(StringTable::text(QStringLiteral("AllItemsBack")));
    setController(list);
}

TQAllItemsFilteringViewController::~TQAllItemsFilteringViewController() = default;

TQAllItemsController* TQAllItemsFilteringViewController::list() const
{
    return qobject_cast<TQAllItemsController*>(controller());
}

void TQAllItemsFilteringViewController::setController(QObject* controller)
{
    auto* wrapped = qobject_cast<TQViewController*>(controller);
    if (auto* documents = qobject_cast<TQAllItemsController*>(wrapped)) {
        documents->setOwner(this);
        // The filter reads the list at each fetch; the list outlives neither.
        documents->setFilter([documents] { return documents->placePredicate(); });
        // A plain case-insensitive substring of the title: no diacritic folding, no word splitting.
        documents->setProviderSearchFormat(QStringLiteral("title CONTAINS[c] %@"));
    }
    TQFilteringViewController::setController(wrapped);
}

Predicate TQAllItemsFilteringViewController::allItemsPredicate(const TQAllItemsController& list)
{
    return placePredicate(list, {Predicate::format(QStringLiteral("isTrashed == %@"), false)});
}

Predicate TQAllItemsFilteringViewController::starredPredicate(const TQAllItemsController& list)
{
    return placePredicate(
        list, {Predicate::format(QStringLiteral("isTrashed == %@ AND isStarred == %@"), false, true)});
}

Predicate TQAllItemsFilteringViewController::collectionsPredicate(const TQAllItemsController& list)
{
    return placePredicate(list, {Predicate::format(QStringLiteral("isTrashed == %@"), false),
                                 Predicate::withBlock(&TQAllItemsFilteringViewController::isCollection)});
}

Predicate TQAllItemsFilteringViewController::trashPredicate(const TQAllItemsController& list)
{
    return placePredicate(list, {Predicate::format(QStringLiteral("isTrashed == %@"), true)});
}

bool TQAllItemsFilteringViewController::isCollection(const QVariant& record)
{
    return std::dynamic_pointer_cast<Category>(record.value<ManagedObjectPtr>()) != nullptr;
}

QMap<QString, SortDescriptorRef>
TQAllItemsFilteringViewController::searchDescriptorsWithOrderedKeys(QStringList* orderedKeys)
{
    QMap<QString, SortDescriptorRef> descriptors;
    if (orderedKeys)
        orderedKeys->clear();
    for (const SortEntry& entry : kSortEntries) {
        const QString title = StringTable::text(QString::fromLatin1(entry.titleKey));
        descriptors.insert(
            title, std::make_shared<const SortDescriptor>(QString::fromLatin1(entry.key), entry.ascending));
        if (orderedKeys)
            orderedKeys->append(title);
    }
    return descriptors;
}

void TQAllItemsFilteringViewController::reactivate()
{
    if (controller())
        controller()->reactivate();
    setSearchString(QString());
}

void TQAllItemsFilteringViewController::viewDidInstall()
{
    TQFilteringViewController::viewDidInstall();
    if (controller())
        controller()->setNavigationController(navigationController());
}

void TQAllItemsFilteringViewController::editEntity(QObject* sender)
{
    if (controller())
        controller()->editEntity(sender);
}

void TQAllItemsFilteringViewController::share(QObject* sender)
{
    if (controller())
        controller()->share(sender);
}

void TQAllItemsFilteringViewController::deleteEntity(QObject* sender)
{
    if (controller())
        controller()->deleteEntity(sender);
}

bool TQAllItemsFilteringViewController::validateUserInterfaceItem(QObject* item)
{
    if (!TQFilteringViewController::validateUserInterfaceItem(item))
        return false;
    if (controller() && !controller()->validateUserInterfaceItem(item))
        return false;
    return TQUtility::actionAllowedOffline(UserInterfaceItem::command(item));
}

} // namespace tavrel
