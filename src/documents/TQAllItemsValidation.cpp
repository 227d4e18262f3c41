// The validation of the list's commands, its open-with and change-owner menus, and starring a
// selection.
#include "controls/TQInvertableMenuItem.h"
#include "documents/ApplicationMenu.h"
#include "documents/TQAllItemsController.h"
#include "lists/ListModel.h"
#include "model/Category.h"
#include "model/Contact.h"
#include "model/File.h"
#include "model/Mail.h"
#include "model/TQStringExtensions.h"
#include "model/TQUtility.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "session/ApplicationServices.h"
#include "session/ConnectionStatus.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"
#include "window/ActionRequests.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QUrl>

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

QString sessionUsername()
{
    TQSession* session = TQSessionManager::sharedManager()->currentSession();
    return session ? session->username() : QString();
}

void setTitleKey(QObject* item, const char* key)
{
    UserInterfaceItem::setTitle(item, StringTable::text(QLatin1String(key)));
}

// The file name whose kind decides the applications: the cached copy's, else the name the document
// downloads under.
QString fileNameForMenu(const ManagedObjectPtr& record)
{
    const auto entry = entryOf(record);
    if (!entry)
        return {};
    if (const auto file = std::dynamic_pointer_cast<File>(record); file && !file->filePath().isEmpty()) {
        const QUrl url(file->filePath());
        const QString name =
            QFileInfo(url.isValid() && !url.path().isEmpty() ? url.path() : file->filePath()).fileName();
        if (!name.isEmpty())
            return name;
    }
    return TQStringExtensions::exportNameWithResourceId(entry->title(), entry->resourceId());
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

bool TQAllItemsController::validateUserInterfaceItem(QObject* item)
{
    const bool base = TQFirstLevelViewController::validateUserInterfaceItem(item);
    const QList<ManagedObjectPtr> items = validationItems(this);
    const QString command = UserInterfaceItem::command(item);
    const int tag = UserInterfaceItem::tag(item);
    bool verdict = base;
    bool offlineRule = true;

    if (command == QLatin1String("editEntity:")) {
        bool anyDocument = false;
        bool anyCollection = false;
        for (const ManagedObjectPtr& record : items)
            (isCollectionRecord(record) ? anyCollection : anyDocument) = true;
        verdict = base && !(anyCollection && !anyDocument);
        offlineRule = false;
    } else if (command == QLatin1String("toggleStarState:")) {
        bool allStarred = true;
        for (const ManagedObjectPtr& record : items)
            if (const auto entry = entryOf(record))
                allStarred = allStarred && entry->isStarred();
        setTitleKey(item, allStarred ? "MenuRemoveStar" : "MenuAddStar");
    } else if (command == QLatin1String("toggleViewedState:")) {
        bool anyNew = false;
        for (const ManagedObjectPtr& record : items)
            if (const auto entry = entryOf(record))
                anyNew = anyNew || entry->isNew();
        setTitleKey(item, anyNew ? "MenuMarkViewed" : "MenuMarkUnviewed");
    } else if (command == QLatin1String("openWith:") && tag == kOpenWithTag) {
        auto* action = qobject_cast<QAction*>(item);
        const bool rebuild = items.size() <= 1 && (items.isEmpty() || !isCollectionRecord(items.constLast()));
        if (rebuild && action && action->menu()) {
            setupApplicationMenu(action->menu(), items.isEmpty() ? nullptr : items.constLast());
            verdict = base;
        } else {
            verdict = false;
            offlineRule = false;
        }
    } else if (command == QLatin1String("showPreview:")) {
        setTitleKey(item, "Preview");
        verdict = items.size() == 1;
    } else if (command == QLatin1String("showSharingContacts:")) {
        setTitleKey(item, "Sharings");
    } else if (command == QLatin1String("organize:")) {
        setTitleKey(item, "Organize");
    } else if (command == QLatin1String("rename:")) {
        verdict = items.size() == 1;
    } else if (command == QLatin1String("changeOwnership:") && tag == kChangeOwnerTag) {
        setupOwnershipMenu(item);
        verdict = UserInterfaceItem::isEnabled(item);
    } else if (command == QLatin1String("printEntity:")) {
        verdict = items.size() == 1 && !isCollectionRecord(items.constFirst());
    } else if (command == QLatin1String("openInBrowser:") && tag == kOpenInBrowserTag) {
        ConnectionStatus* status = ApplicationServices::instance()->connectionStatus();
        verdict = status && status->isOnline();
    }
    if (verdict && offlineRule)
        verdict = TQUtility::actionAllowedOffline(command);
    return verdict;
}

void TQAllItemsController::setupApplicationMenu(QMenu* menu, const ManagedObjectPtr& item)
{
    ApplicationMenu::rebuild(menu, fileNameForMenu(item), this);
}

void TQAllItemsController::setupOwnershipMenu(QObject* item)
{
    const QString username = sessionUsername();
    const auto contact = Contact::contactWithAddress(username, managedObjectContext());
    const QList<std::shared_ptr<Mail>> ownMails = contact ? contact->mails() : QList<std::shared_ptr<Mail>>();
    const auto isOwnMail = [&](const std::shared_ptr<Mail>& mail) {
        if (!mail)
            return false;
        for (const auto& own : ownMails)
            if (own == mail)
                return true;
        // The user's own address counts even before the user's contact is stored.
        return !username.isEmpty() && mail->address() == username;
    };

    bool enabled = true;
    // Each person once, in the order first met (a stable order for the menu).
    QList<std::shared_ptr<Mail>> candidates;
    const auto addAll = [&candidates](const QList<std::shared_ptr<Mail>>& people) {
        for (const auto& person : people)
            if (person && !candidates.contains(person))
                candidates.append(person);
    };
    for (int row : selectedRows()) {
        const auto entry = entryOf(recordAtRow(row));
        if (!entry)
            continue;
        const QString resourceId = entry->resourceId();
        const bool kindAllowed = resourceId.startsWith(QLatin1String("document")) ||
                                 resourceId.startsWith(QLatin1String("spreadsheet")) ||
                                 resourceId.startsWith(QLatin1String("drawing"));
        if (!isOwnMail(entry->owner()) || !kindAllowed) {
            enabled = false;
            break;
        }
        addAll(entry->viewers());
        addAll(entry->commenters());
        addAll(entry->editors());
    }
    UserInterfaceItem::setEnabled(item, enabled);

    auto* action = qobject_cast<QAction*>(item);
    if (action && action->menu()) {
        QMenu* previous = action->menu();
        action->setMenu(nullptr);
        previous->deleteLater();
    }
    if (candidates.isEmpty()) {
        setTitleKey(item, "ChangeOwner");
        return;
    }
    setTitleKey(item, "ChangeOwnerTo");
    if (!action)
        return;
    auto* submenu = new QMenu(QString(), qobject_cast<QWidget*>(action->parent()));
    for (const auto& candidate : std::as_const(candidates)) {
        QAction* entry = UserInterfaceItem::makeAction(candidate->address(),
                                                       QStringLiteral("changeOwnership:"), submenu, 0, this);
        UserInterfaceItem::setRepresentedObject(entry, QVariant::fromValue(ManagedObjectPtr(candidate)));
        submenu->addAction(entry);
    }
    submenu->addSeparator();
    submenu->addAction(UserInterfaceItem::makeAction(StringTable::text(QStringLiteral("AddAnotherOwner")),
                                                     QStringLiteral("changeOwnership:"), submenu, 0, this));
    action->setMenu(submenu);
}

void TQAllItemsController::menuWillHighlightItem(QMenu* menu, QAction* item)
{
    if (!menu)
        return;
    for (QAction* each : menu->actions())
        if (auto* invertable = qobject_cast<TQInvertableMenuItem*>(each))
            invertable->setPreparingHighlight(false);
    if (auto* invertable = qobject_cast<TQInvertableMenuItem*>(item))
        invertable->setPreparingHighlight(true);
}

void TQAllItemsController::menuDidClose(QMenu* menu)
{
    if (!menu)
        return;
    for (QAction* each : menu->actions())
        if (auto* invertable = qobject_cast<TQInvertableMenuItem*>(each))
            invertable->setPreparingHighlight(false);
}

void TQAllItemsController::toggleStarStateForSelection(const QList<ManagedObjectPtr>& items)
{
    toggleNewState(nullptr);
    bool target = true;
    if (!items.isEmpty()) {
        bool allSame = true;
        const auto first = entryOf(items.constFirst());
        const bool firstState = first && first->isStarred();
        for (const ManagedObjectPtr& record : items) {
            const auto entry = entryOf(record);
            allSame = allSame && (entry && entry->isStarred()) == firstState;
        }
        if (allSame)
            target = !firstState;
    }
    QVariantList toChange;
    for (const ManagedObjectPtr& record : items) {
        const auto entry = entryOf(record);
        if (entry && entry->isStarred() != target)
            toChange.append(QVariant::fromValue(record));
    }
    ActionRequests::executeDocumentAction(
        QStringLiteral("StarredDocuments"),
        Invocation::invocationForSelector(QStringLiteral("operationDidFinishWithResult:error:"), this),
        {{QStringLiteral("documentEntities"), toChange},
         {QStringLiteral("isStarred"), target},
         {QStringLiteral("statusID"), QStringLiteral("starred_%1").arg(ActionRequests::uniqueNumber())},
         {QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(this)}});
}

} // namespace tavrel
