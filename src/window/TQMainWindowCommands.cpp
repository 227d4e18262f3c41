#include "window/TQMainWindowCommands.h"

#include "model/Category.h"
#include "model/File.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "model/TQMOCMaster.h"
#include "model/TQPreferencesManager.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/system/DMTracker.h"
#include "platform/system/TQLog.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/CommandValidation.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "progress/TQProgressManager.h"
#include "window/ActionError.h"
#include "window/ActionNotifications.h"
#include "window/ActionRequests.h"
#include "window/INewGroupSheet.h"
#include "window/IViewFactory.h"
#include "window/TQFloatingContentController.h"
#include "window/TQMainWindowController.h"
#include "window/TQNavigationController.h"
#include "window/TQSidebarController.h"
#include "window/TQViewController.h"

#include <QAction>
#include <QDialog>
#include <QDropEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>
#include <QPointer>

namespace tavrel {

namespace {

const QString kToolbarCategory = QStringLiteral("Toolbar");
const QString kRepresentedObjectProperty = QStringLiteral("representedObject");

QVariant progressConsumer()
{
    return QVariant::fromValue<QObject*>(TQProgressManager::progressManager());
}

QList<QUrl> fileURLsOf(const QStringList& fileNames)
{
    QList<QUrl> urls;
    for (const QString& name : fileNames)
        urls.append(QUrl::fromLocalFile(name));
    return urls;
}

} // namespace

TQMainWindowCommands::TQMainWindowCommands(TQMainWindowController* controller)
    : QObject(controller), m_controller(controller)
{}

TQMainWindowCommands::~TQMainWindowCommands() = default;

QWidget* TQMainWindowCommands::window() const
{
    return m_controller->window();
}

void TQMainWindowCommands::activateUserProfile(QObject*)
{
    m_controller->sidebarController()->activateMode(SidebarMode::PersonalProfile);
}
void TQMainWindowCommands::activateAllItems(QObject*)
{
    m_controller->sidebarController()->activateMode(SidebarMode::AllItems);
}
void TQMainWindowCommands::activateFavorites(QObject*)
{
    m_controller->sidebarController()->activateMode(SidebarMode::Starred);
}
void TQMainWindowCommands::activateAllContacts(QObject*)
{
    m_controller->sidebarController()->activateMode(SidebarMode::Contacts);
}
void TQMainWindowCommands::activateCollections(QObject*)
{
    m_controller->sidebarController()->activateMode(SidebarMode::Collections);
}
void TQMainWindowCommands::activateTrash(QObject*)
{
    m_controller->sidebarController()->activateMode(SidebarMode::Trash);
}

void TQMainWindowCommands::editEntity(QObject* sender)
{
    if (TQViewController* top = m_controller->navigationController()->topController())
        top->editEntity(sender);
}
void TQMainWindowCommands::share(QObject* sender)
{
    if (TQViewController* top = m_controller->navigationController()->topController())
        top->share(sender);
}
void TQMainWindowCommands::deleteEntity(QObject* sender)
{
    if (TQViewController* top = m_controller->navigationController()->topController())
        top->deleteEntity(sender);
}

void TQMainWindowCommands::goBack(QObject*)
{
    TQNavigationController* navigation = m_controller->navigationController();
    if (navigation->level() != 0)
        navigation->popController();
}

bool TQMainWindowCommands::topIs(TQViewController* controller) const
{
    return controller && m_controller->navigationController()->topController() == controller;
}

bool TQMainWindowCommands::hasAttachedSheet() const
{
    if (!window())
        return false;
    for (QDialog* dialog : window()->findChildren<QDialog*>())
        if (dialog->isVisible() && dialog->isWindow())
            return true;
    return false;
}

void TQMainWindowCommands::update(QObject*)
{
    if (TQSession* session = m_controller->sessionManager()->currentSession();
        session && session->mocManager())
        session->mocManager()->masterMOC()->fullUpdate();
}

void TQMainWindowCommands::fastUpdate(QObject*)
{
    if (TQSession* session = m_controller->sessionManager()->currentSession();
        session && session->mocManager())
        session->mocManager()->masterMOC()->fastUpdate();
}

void TQMainWindowCommands::close(QObject*)
{
    if (window())
        window()->close();
}

void TQMainWindowCommands::toggleFilesInsideFolders(QObject*)
{
    TQPreferencesManager* preferences = TQPreferencesManager::sharedManager();
    preferences->setHiddenFilesInFolder(!preferences->hiddenFilesInFolder());
    NotificationCenter::defaultCenter().post(TQMainWindowController::kFileInFoldersVisibilityNotification);
}

void TQMainWindowCommands::createEmptyDocument(const QString& type, const QString& usageValue)
{
    const InvocationPtr callback = Invocation::invocationForSelector(Selectors::creationDidFinish, this);
    QVariantMap parameters{
        {QStringLiteral("statusID"), QStringLiteral("create_%1").arg(ActionRequests::uniqueNumber())},
        {QStringLiteral("isStarred"), topIs(m_controller->existingControllerForMode(SidebarMode::Starred))},
        {QStringLiteral("isTrashed"), topIs(m_controller->existingControllerForMode(SidebarMode::Trash))},
        {QStringLiteral("progressConsumer"), progressConsumer()},
        {QStringLiteral("type"), type},
        {QStringLiteral("managedObjectContext"),
         QVariant::fromValue<QObject*>(m_controller->sidebarController()->managedObjectContext())},
    };
    if (const auto inside = m_controller->insideCategory())
        parameters.insert(QStringLiteral("collectionEntity"), QVariant::fromValue(ManagedObjectPtr(inside)));
    ActionRequests::executeDocumentAction(QStringLiteral("CreateEmptyDocument"), callback, parameters);
    if (!usageValue.isEmpty())
        DMTracker::defaultTracker()->trackEventInCategory(kToolbarCategory, QStringLiteral("Create"),
                                                          usageValue);
}

void TQMainWindowCommands::newDocument(QObject*)
{
    createEmptyDocument(QStringLiteral("document"), QStringLiteral("Document"));
}
void TQMainWindowCommands::newPresentation(QObject*)
{
    createEmptyDocument(QStringLiteral("presentation"), QStringLiteral("Presentation"));
}
void TQMainWindowCommands::newSpreadsheet(QObject*)
{
    createEmptyDocument(QStringLiteral("spreadsheet"), QStringLiteral("Spreadsheet"));
}
void TQMainWindowCommands::newDrawing(QObject*)
{
    createEmptyDocument(QStringLiteral("drawing"), QString());
}
void TQMainWindowCommands::newCollection(QObject*)
{
    createEmptyDocument(QStringLiteral("folder"), QStringLiteral("Collection"));
}

void TQMainWindowCommands::newContact(QObject*)
{
    m_controller->views()->showNewContactEditor(window());
}

void TQMainWindowCommands::newGroup(QObject*)
{
    // The sheet keeps itself alive while it is open; its action's answer comes back here.
    INewGroupSheet* sheet = m_controller->views()->makeNewGroupSheet();
    if (!sheet)
        return;
    sheet->setCallbackTarget(this);
    sheet->showWindowModalToWindow(window());
}

void TQMainWindowCommands::newFakeAction(QObject*) {}

void TQMainWindowCommands::uploadFilesOrFolder(QObject*)
{
    auto* panel = new QFileDialog(window());
    panel->setObjectName(QStringLiteral("uploadPanel"));
    panel->setFileMode(QFileDialog::ExistingFiles);
    panel->setOption(QFileDialog::ShowDirsOnly, false);
    panel->setLabelText(QFileDialog::Accept, StringTable::text(QStringLiteral("Select")));
    panel->setWindowModality(Qt::WindowModal);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<TQMainWindowCommands> self = this;
    connect(panel, &QFileDialog::finished, this, [self, panel](int result) {
        if (self)
            self->uploadPanelDidEnd(result == QDialog::Accepted ? 1 : 0, panel->selectedUrls());
    });
    panel->open();
}

void TQMainWindowCommands::uploadURLs(const QList<QUrl>& urls, const QString& callback,
                                      bool starredAndTrashed)
{
    QVariantMap parameters{
        {QStringLiteral("managedObjectContext"),
         QVariant::fromValue<QObject*>(m_controller->sidebarController()->managedObjectContext())},
        {QStringLiteral("fileURLs"), QVariant::fromValue(urls)},
        {QStringLiteral("progressID"), QStringLiteral("upload_%1").arg(ActionRequests::uniqueNumber())},
        {QStringLiteral("progressConsumer"), progressConsumer()},
    };
    if (starredAndTrashed) {
        parameters.insert(QStringLiteral("isStarred"),
                          topIs(m_controller->existingControllerForMode(SidebarMode::Starred)));
        parameters.insert(QStringLiteral("isTrashed"),
                          topIs(m_controller->existingControllerForMode(SidebarMode::Trash)));
    }
    ActionRequests::executeDocumentAction(QStringLiteral("UploadFiles"),
                                          Invocation::invocationForSelector(callback, this), parameters);
}

void TQMainWindowCommands::uploadPanelDidEnd(int returnCode, const QList<QUrl>& urls)
{
    if (returnCode != 1 || urls.isEmpty())
        return;
    QStringList names;
    for (const QUrl& url : urls)
        names << url.toString();
    TQLog("Uploading files... : %@", names.join(QStringLiteral(", ")));
    uploadURLs(urls, Selectors::operationDidFinish, true);
    DMTracker::defaultTracker()->trackEventInCategory(kToolbarCategory, QStringLiteral("Create"),
                                                      QStringLiteral("Upload"));
}

void TQMainWindowCommands::openRecent(QObject* item)
{
    const QVariant record = item ? item->property(kRepresentedObjectProperty.toLatin1()) : QVariant();
    if (!record.value<ManagedObjectPtr>())
        return;
    ActionRequests::executeDocumentAction(QStringLiteral("OpenDocument"), nullptr,
                                          {{QStringLiteral("documentEntity"), record}});
}

void TQMainWindowCommands::clearRecentDocuments(QObject*)
{
    TQPreferencesManager::sharedManager()->resetRecents();
}

void TQMainWindowCommands::updateRecentMenu(QMenu* menu)
{
    if (!menu)
        return;
    const QList<QAction*> actions = menu->actions();
    QAction* clear = actions.isEmpty() ? nullptr : actions.constLast();
    for (QAction* action : actions) {
        menu->removeAction(action);
        if (action != clear)
            action->deleteLater();
    }
    ManagedObjectContext* context = m_controller->sidebarController()->managedObjectContext();
    QStringList missing;
    int shown = 0;
    for (const QString& identifier : TQPreferencesManager::sharedManager()->allRecents()) {
        if (shown == TQMainWindowController::kMaximumRecentItems)
            break;
        const auto file = context ? File::fileWithIdentifier(identifier, context) : nullptr;
        if (!file) {
            missing << identifier;
            continue;
        }
        QAction* item = UserInterfaceItem::makeAction(file->title(), Commands::openRecent, menu);
        item->setProperty(kRepresentedObjectProperty.toLatin1(), QVariant::fromValue(ManagedObjectPtr(file)));
        item->setIcon(
            ImageRegistry::fileTypeIcon(file->filename().isEmpty() ? file->title() : file->filename()));
        menu->addAction(item);
        ++shown;
    }
    if (!menu->actions().isEmpty())
        menu->addSeparator();
    if (clear)
        menu->addAction(clear);
    if (!missing.isEmpty())
        TQPreferencesManager::sharedManager()->removeRecents(missing);
}

bool TQMainWindowCommands::validateUserInterfaceItem(QObject* item)
{
    const QString command = UserInterfaceItem::command(item);
    if (hasAttachedSheet())
        return false;
    TQViewController* top = m_controller->navigationController()->topController();
    const bool answers = ResponderChain::respondsToCommand(this, command);
    const auto askTop = [&] { return !top || top->validateUserInterfaceItem(item); };
    if (command == Commands::newGroup && !m_controller->views()->isNewGroupAvailable())
        return false;
    if (command == Commands::newGroup && top &&
        topIs(m_controller->existingControllerForMode(SidebarMode::Contacts)))
        return askTop();
    if (command == Commands::uploadFilesOrFolder) {
        if (topIs(m_controller->existingControllerForMode(SidebarMode::Collections)))
            return false;
        if (top && m_controller->views()->isFileView(top))
            return askTop();
    }
    if (command == Commands::openRecent &&
        UserInterfaceItem::tag(item) == TQMainWindowController::kRecentItemsTag) {
        if (auto* action = qobject_cast<QAction*>(item))
            updateRecentMenu(action->menu());
        return answers;
    }
    if (command == Commands::clearRecentDocuments)
        return !TQPreferencesManager::sharedManager()->allRecents().isEmpty();
    if (top && ResponderChain::respondsToCommand(top, command))
        return askTop();
    const int content = top ? top->contentType() : TQViewController::NoContent;
    if (command == Commands::toggleFilesInsideFolders) {
        UserInterfaceItem::setTitle(
            item, StringTable::text(TQPreferencesManager::sharedManager()->hiddenFilesInFolder()
                                        ? QStringLiteral("ShowFilesInFolder")
                                        : QStringLiteral("HideFilesInFolder")));
        return answers;
    }
    if ((command == Commands::newContact || command == Commands::newGroup) &&
        content == TQViewController::DocumentsContent)
        return false;
    if (command.startsWith(QLatin1String("new")) && command != Commands::newCollection &&
        topIs(m_controller->existingControllerForMode(SidebarMode::Collections)))
        return false;
    static const QStringList documentCommands{
        Commands::newDocument,        Commands::newDrawing, Commands::newPresentation,
        Commands::newSpreadsheet,     Commands::newForm,    Commands::newCollection,
        Commands::uploadFilesOrFolder};
    if (documentCommands.contains(command) && content == TQViewController::ContactsContent)
        return false;
    return answers; // every action is allowed offline
}

void TQMainWindowCommands::uploadFiles(const QStringList& fileNames)
{
    if (fileNames.isEmpty()) {
        TQLog("E: Unexpected call to uploadFiles service with no files!");
        return;
    }
    uploadURLs(fileURLsOf(fileNames), Selectors::uploadDidFinish, false);
}

void TQMainWindowCommands::linkToShare(const QStringList& fileNames)
{
    TQLog("Called service: getLinkToShare");
    if (fileNames.isEmpty()) {
        TQLog("E: Unexpected call to uploadFiles service with no files!");
        return;
    }
    TQSession* session = m_controller->sessionManager()->currentSession();
    auto access = GeneralACLPermissionAdapter::generalACLPermissionAdapterWithUsername(
        session ? session->username() : QString());
    access->setType(QStringLiteral("default"));
    access->setRole(QStringLiteral("reader"));
    access->setHasLink(true);
    const QVariantMap parameters{
        {QStringLiteral("managedObjectContext"),
         QVariant::fromValue<QObject*>(m_controller->sidebarController()->managedObjectContext())},
        {QStringLiteral("fileURLs"), QVariant::fromValue(fileURLsOf(fileNames))},
        {QStringLiteral("generalACLPermission"), QVariant::fromValue(access)},
        {QStringLiteral("progressID"), QStringLiteral("upload_%1").arg(ActionRequests::uniqueNumber())},
        {QStringLiteral("progressConsumer"), progressConsumer()},
    };
    ActionRequests::executeDocumentAction(
        QStringLiteral("UploadFiles"),
        Invocation::invocationForSelector(Selectors::uploadLinkDidFinish, this), parameters);
}

void TQMainWindowCommands::uploadAndShare(const QStringList& fileNames)
{
    TQFloatingContentController* share = m_controller->views()->makeShareWith(fileNames);
    if (!share)
        return;
    m_controller->showQuickShareDialogForContent(share->view(), share, {}, QPoint());
}

bool TQMainWindowCommands::acceptorValidateDraggingInfo(QObject*, QDropEvent* draggingInfo)
{
    return draggingInfo && !DragBus::fileNames(draggingInfo->mimeData()).isEmpty();
}

bool TQMainWindowCommands::acceptorProcessDraggingInfo(QObject* acceptor, QDropEvent* draggingInfo)
{
    const QStringList names = draggingInfo ? DragBus::fileNames(draggingInfo->mimeData()) : QStringList();
    if (names.isEmpty())
        return false;
    if (window()) {
        window()->show();
        window()->raise();
        window()->activateWindow();
    }
    if (acceptor && acceptor->property("delayedAutoDrop").toBool()) {
        uploadAndShare(names);
        return true;
    }
    uploadFiles(names);
    DMTracker::defaultTracker()->trackEventInCategory(QStringLiteral("Share"), QStringLiteral("Drag&Drop"),
                                                      QStringLiteral("Finder"));
    return true;
}

void TQMainWindowCommands::operationDidFinishWithResult(const QVariant&, const QVariant& error)
{
    TQLog("Received action callback");
    ActionError::processActionError(ActionError::errorFromValue(error));
}

void TQMainWindowCommands::uploadDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    TQLog("Received upload callback");
    operationDidFinishWithResult(result, error);
    if (ActionError::errorFromValue(error).isNull())
        ActionNotifications::postUpload(ActionNotifications::records(result));
}

void TQMainWindowCommands::uploadLinkDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    operationDidFinishWithResult(result, error);
    if (!ActionError::errorFromValue(error).isNull())
        return;
    const QVariantList records = ActionNotifications::records(result);
    QList<QUrl> links;
    QString lastTitle;
    for (const QVariant& record : records) {
        const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record.value<ManagedObjectPtr>());
        if (!entry || entry->alternateLink().isEmpty())
            continue;
        links.append(QUrl(entry->alternateLink()));
        lastTitle = entry->title();
    }
    // Nothing to copy, nothing to announce: a notification without a link would claim one was copied.
    if (links.isEmpty())
        return;
    Clipboard::clear();
    Clipboard::writeURLs(links);
    ActionNotifications::post(ActionNotifications::titleForCount(lastTitle, links.size()),
                              StringTable::text(QStringLiteral("LinkPermissionFormat")));
}

QString TQMainWindowCommands::creationMessage(const QVariant& record)
{
    const ManagedObjectPtr object = record.value<ManagedObjectPtr>();
    std::shared_ptr<Category> holder;
    if (const auto file = std::dynamic_pointer_cast<File>(object); file && !file->categories().isEmpty())
        holder = file->categories().constFirst();
    else if (const auto collection = std::dynamic_pointer_cast<Category>(object))
        holder = collection->parent();
    return holder ? StringTable::format(QStringLiteral("NewElementInCategoryFormat"), holder->title())
                  : StringTable::text(QStringLiteral("NewElementCreatedFormat"));
}

void TQMainWindowCommands::creationDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    operationDidFinishWithResult(result, error);
    if (!ActionError::errorFromValue(error).isNull())
        return;
    const QVariantList records = ActionNotifications::records(result);
    if (records.isEmpty())
        return;
    const QVariant record = records.constFirst();
    const QString title = ActionNotifications::titleOf(record);
    TQLog("Created document: %@", title);
    NotificationCenter::defaultCenter().post(TQMainWindowController::kNewDocumentCreatedNotification, record);
    ActionNotifications::post(title, creationMessage(record));
}

} // namespace tavrel
