#include "documents/TQAllItemsValidation.h"

#include "documents/TQAllItemsController.h"
#include "documents/TQAllItemsRowMenus.h"
#include "documents/TQFileViewController.h"
#include "lists/ListModel.h"
#include "lists/QuickSharePresenter.h"
#include "model/Category.h"
#include "model/File.h"
#include "model/TQUtility.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "session/ApplicationServices.h"
#include "session/ConnectionStatus.h"
#include "sharing/SharingClasses.h"
#include "window/TQMainWindowController.h"
#include "window/ViewClasses.h"

#include <QAction>
#include <QMenu>

namespace tavrel {

namespace {

bool isCollectionRecord(const ManagedObjectPtr& record)
{
    return std::dynamic_pointer_cast<Category>(record) != nullptr;
}

std::shared_ptr<FileEntryAbstract> entryOf(const ManagedObjectPtr& record)
{
    return std::dynamic_pointer_cast<FileEntryAbstract>(record);
}

// Shows the item only while the program has the view it opens; answers that.
bool showsView(QObject* item, const QString& className)
{
    const bool available = ViewClasses::hasClass(className);
    if (auto* action = qobject_cast<QAction*>(item))
        action->setVisible(available);
    return available;
}

bool showsView(QObject* item, const char* className)
{
    return showsView(item, QLatin1String(className));
}

void setTitleKey(QObject* item, const char* key)
{
    UserInterfaceItem::setTitle(item, StringTable::text(QLatin1String(key)));
}

} // namespace

// The items a validation is about: the selected documents, or the clicked row's alone when a
// contextual menu was opened on a row outside the selection.
static QList<ManagedObjectPtr> validationItems(TQAllItemsController* list)
{
    QList<ManagedObjectPtr> items = list->selectedRecords();
    const int clicked = list->clickedRow();
    if (clicked >= 0 && list->dataProvider() && clicked < list->dataProvider()->rowCount()) {
        const ManagedObjectPtr record = list->recordAtRow(clicked);
        if (record && !items.contains(record))
            return {record};
    }
    return items;
}

QList<ManagedObjectPtr> TQAllItemsValidation::items(TQAllItemsController& list)
{
    return validationItems(&list);
}

bool TQAllItemsValidation::validate(TQAllItemsController& list, QObject* item, bool base)
{
    const QList<ManagedObjectPtr> items = validationItems(&list);
    const QString command = UserInterfaceItem::command(item);
    const int tag = UserInterfaceItem::tag(item);
    bool verdict = base;
    bool offlineRule = true;

    if (command == Commands::editEntity) {
        bool anyDocument = false;
        bool anyCollection = false;
        for (const ManagedObjectPtr& record : items)
            (isCollectionRecord(record) ? anyCollection : anyDocument) = true;
        verdict = base && !(anyCollection && !anyDocument);
        offlineRule = false;
    } else if (command == Commands::toggleStarState) {
        bool allStarred = true;
        for (const ManagedObjectPtr& record : items)
            if (const auto entry = entryOf(record))
                allStarred = allStarred && entry->isStarred();
        setTitleKey(item, allStarred ? "MenuRemoveStar" : "MenuAddStar");
    } else if (command == Commands::toggleViewedState) {
        bool anyNew = false;
        for (const ManagedObjectPtr& record : items)
            if (const auto entry = entryOf(record))
                anyNew = anyNew || entry->isNew();
        setTitleKey(item, anyNew ? "MenuMarkViewed" : "MenuMarkUnviewed");
    } else if (command == Commands::openWith && tag == TQAllItemsController::kOpenWithTag) {
        auto* action = qobject_cast<QAction*>(item);
        const bool rebuild = items.size() <= 1 && (items.isEmpty() || !isCollectionRecord(items.constLast()));
        if (rebuild && action && action->menu()) {
            list.rowMenus()->setupApplicationMenu(action->menu(),
                                                  items.isEmpty() ? nullptr : items.constLast());
            verdict = base;
        } else {
            verdict = false;
            offlineRule = false;
        }
    } else if (command == Commands::showPreview) {
        setTitleKey(item, "Preview");
        verdict = items.size() == 1;
    } else if (command == Commands::showSharingContacts) {
        setTitleKey(item, "Sharings");
        // One record shows its people in the detail view, several in a window of their own: a view the
        // program does not have is not offered.
        verdict = showsView(item, items.size() > 1 ? "TQSharingDetailsController"
                                                   : TQFileViewController::kSharingTabClass) &&
                  !items.isEmpty() && base;
    } else if (command == Commands::share || command == Commands::shareWith) {
        verdict = showsView(item, TQMainWindowController::kShareWithClass) && !items.isEmpty() && base;
    } else if (command == Commands::shareOne) {
        const bool exists = QuickSharePresenter::sharingViewsExist();
        if (auto* action = qobject_cast<QAction*>(item))
            action->setVisible(exists);
        verdict = exists && !items.isEmpty() && base;
    } else if (command == Commands::showSharingSettings) {
        verdict = showsView(item, SharingClasses::kSharingSettingsClass) && !items.isEmpty() && base;
    } else if (command == Commands::getLinkToShare) {
        verdict = !items.isEmpty() && base;
    } else if (command == Commands::organize) {
        setTitleKey(item, "Organize");
        verdict = showsView(item, items.size() > 1 ? "TQOrganizeItemsController"
                                                   : TQFileViewController::kCollectionsTabClass) &&
                  !items.isEmpty() && base;
    } else if (command == Commands::rename) {
        verdict = items.size() == 1;
    } else if (command == Commands::changeOwnership && tag == TQAllItemsController::kChangeOwnerTag) {
        list.rowMenus()->setupOwnershipMenu(item);
        verdict = UserInterfaceItem::isEnabled(item);
    } else if (command == Commands::printEntity) {
        verdict = items.size() == 1 && !isCollectionRecord(items.constFirst());
    } else if (command == Commands::openInBrowser && tag == TQAllItemsController::kOpenInBrowserTag) {
        ConnectionStatus* status = ApplicationServices::instance()->connectionStatus();
        verdict = status && status->isOnline();
    }
    if (verdict && offlineRule)
        verdict = TQUtility::actionAllowedOffline(command);
    return verdict;
}

} // namespace tavrel
