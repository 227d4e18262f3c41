// The commands of the main window: synchronising, creating, uploading, the recent items, the services,
// the quick-share popover and the validation of the window's menu items and buttons.
#include "chrome/TQNewGroupController.h"
#include "controls/TQFloatingWindow.h"
#include "controls/TQTriStateButton.h"
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
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "progress/TQProgressManager.h"
#include "window/ActionError.h"
#include "window/ActionNotifications.h"
#include "window/ActionRequests.h"
#include "window/StandardKeys.h"
#include "window/TQFloatingContentController.h"
#include "window/TQMainWindow.h"
#include "window/TQMainWindowController.h"
#include "window/TQNavigationController.h"
#include "window/TQSidebarController.h"
#include "window/TQViewController.h"
#include "window/ViewClasses.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>

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

TQTriStateButton* titleButton(const QString& image, const QString& command, const QString& tooltipKey)
{
    auto* button = new TQTriStateButton;
    button->setNormalImage(ImageRegistry::pixmap(image));
    button->setHoverImage(ImageRegistry::pixmap(image + QStringLiteral("_hover")));
    button->setPressedImage(ImageRegistry::pixmap(image + QStringLiteral("_active")));
    button->setToolTip(StringTable::text(tooltipKey));
    button->setObjectName(image);
    if (!command.isEmpty())
        UserInterfaceItem::setCommand(button, command);
    return button;
}

} // namespace

void TQMainWindowController::buildMenus()
{
    using Item = UserInterfaceItem;
    m_newItemMenu = new QMenu(window());
    m_newItemMenu->setObjectName(QStringLiteral("newItemMenu"));
    const struct
    {
        const char* key;
        const char* command;
        int tag;
    } newItems[] = {
        {"NewDocumentItem", "newDocument:", 101},
        {"NewPresentationItem", "newPresentation:", 102},
        {"NewSpreadsheetItem", "newSpreadsheet:", 103},
        {"NewDrawingItem", "newDrawing:", 104},
        {"NewCollectionItem", "newCollection:", 105},
        {nullptr, nullptr, TQViewController::kNewItemDividerTag},
        {"NewContactItem", "newContact:", 201},
        {"NewGroupItem", "newGroup:", 202},
        {"UploadFilesItem", "uploadFilesOrFolder:", TQViewController::kNewItemTailTag},
    };
    for (const auto& item : newItems) {
        // No contact action creates groups: the command stays out of the menu rather than do nothing.
        if (item.command && QLatin1String(item.command) == QLatin1String("newGroup:") &&
            !TQNewGroupController::isCreateGroupAvailable())
            continue;
        if (!item.key) {
            QAction* divider = m_newItemMenu->addSeparator();
            Item::setTag(divider, item.tag);
            continue;
        }
        m_newItemMenu->addAction(Item::makeAction(StringTable::text(QString::fromLatin1(item.key)),
                                                  QString::fromLatin1(item.command), m_newItemMenu,
                                                  item.tag));
    }
    CommandValidation::attachToMenu(m_newItemMenu);

    m_mainMenu = new QMenu(window());
    m_mainMenu->setObjectName(QStringLiteral("mainMenu"));
    auto* recent = new QMenu(StringTable::text(QStringLiteral("OpenRecentItem")), m_mainMenu);
    recent->addAction(Item::makeAction(StringTable::text(QStringLiteral("ClearRecentItem")),
                                       QStringLiteral("clearRecentDocuments:"), recent));
    QAction* holder = recent->menuAction();
    Item::setCommand(holder, QStringLiteral("openRecent:"));
    Item::setTag(holder, kRecentItemsTag);
    m_mainMenu->addAction(holder);
    m_mainMenu->addAction(Item::makeAction(StringTable::text(QStringLiteral("UploadFilesItem")),
                                           QStringLiteral("uploadFilesOrFolder:"), m_mainMenu));
    m_mainMenu->addAction(Item::makeAction(StringTable::text(QStringLiteral("HideFilesInFolder")),
                                           QStringLiteral("toggleFilesInsideFolders:"), m_mainMenu));
    m_mainMenu->addSeparator();
    QAction* sync = Item::makeAction(StringTable::text(QStringLiteral("WindowSynchronize")),
                                     QStringLiteral("fastUpdate:"), m_mainMenu);
    m_mainMenu->addAction(sync);
    m_mainMenu->addAction(Item::makeAction(StringTable::text(QStringLiteral("FindItem")),
                                           QStringLiteral("goFind:"), m_mainMenu));
    m_mainMenu->addSeparator();
    m_mainMenu->addAction(
        Item::makeAction(StringTable::text(QStringLiteral("Close")), QStringLiteral("close:"), m_mainMenu));
    StandardKeys::showKeys(m_mainMenu);
    CommandValidation::attachToMenu(m_mainMenu);

    auto* add = titleButton(QStringLiteral("titlebar_add"), QStringLiteral("newFakeAction:"),
                            QStringLiteral("WindowNewItem"));
    add->setMenu(m_newItemMenu);
    auto* refresh = titleButton(QStringLiteral("titlebar_sync"), QStringLiteral("fastUpdate:"),
                                QStringLiteral("WindowSynchronize"));
    auto* menu = titleButton(QStringLiteral("titlebar_menu"), QString(), QStringLiteral("OpenRecentItem"));
    menu->setMenu(m_mainMenu);
    m_titleToolbar->setButtons({add, refresh, menu});
}

bool TQMainWindowController::topIs(TQViewController* controller) const
{
    return controller && m_navigationController->topController() == controller;
}

bool TQMainWindowController::hasAttachedSheet() const
{
    if (!window())
        return false;
    for (QDialog* dialog : window()->findChildren<QDialog*>())
        if (dialog->isVisible() && dialog->isWindow())
            return true;
    return false;
}

void TQMainWindowController::update(QObject*)
{
    if (TQSession* session = m_sessionManager->currentSession(); session && session->mocManager())
        session->mocManager()->masterMOC()->fullUpdate();
}

void TQMainWindowController::fastUpdate(QObject*)
{
    if (TQSession* session = m_sessionManager->currentSession(); session && session->mocManager())
        session->mocManager()->masterMOC()->fastUpdate();
}

void TQMainWindowController::close(QObject*)
{
    if (window())
        window()->close();
}

void TQMainWindowController::toggleFilesInsideFolders(QObject*)
{
    TQPreferencesManager* preferences = TQPreferencesManager::sharedManager();
    preferences->setHiddenFilesInFolder(!preferences->hiddenFilesInFolder());
    NotificationCenter::defaultCenter().post(kFileInFoldersVisibilityNotification);
}

void TQMainWindowController::createEmptyDocument(const QString& type, const QString& usageValue)
{
    const InvocationPtr callback =
        Invocation::invocationForSelector(QStringLiteral("creationDidFinishWithResult:error:"), this);
    QVariantMap parameters{
        {QStringLiteral("statusID"), QStringLiteral("create_%1").arg(ActionRequests::uniqueNumber())},
        {QStringLiteral("isStarred"), topIs(existingControllerForMode(2))},
        {QStringLiteral("isTrashed"), topIs(existingControllerForMode(5))},
        {QStringLiteral("progressConsumer"), progressConsumer()},
        {QStringLiteral("type"), type},
        {QStringLiteral("managedObjectContext"),
         QVariant::fromValue<QObject*>(m_sidebarController->managedObjectContext())},
    };
    if (m_insideCategory)
        parameters.insert(QStringLiteral("collectionEntity"),
                          QVariant::fromValue(ManagedObjectPtr(m_insideCategory)));
    ActionRequests::executeDocumentAction(QStringLiteral("CreateEmptyDocument"), callback, parameters);
    if (!usageValue.isEmpty())
        DMTracker::defaultTracker()->trackEventInCategory(kToolbarCategory, QStringLiteral("Create"),
                                                          usageValue);
}

void TQMainWindowController::newDocument(QObject*)
{
    createEmptyDocument(QStringLiteral("document"), QStringLiteral("Document"));
}
void TQMainWindowController::newPresentation(QObject*)
{
    createEmptyDocument(QStringLiteral("presentation"), QStringLiteral("Presentation"));
}
void TQMainWindowController::newSpreadsheet(QObject*)
{
    createEmptyDocument(QStringLiteral("spreadsheet"), QStringLiteral("Spreadsheet"));
}
void TQMainWindowController::newDrawing(QObject*)
{
    createEmptyDocument(QStringLiteral("drawing"), QString());
}
void TQMainWindowController::newCollection(QObject*)
{
    createEmptyDocument(QStringLiteral("folder"), QStringLiteral("Collection"));
}

void TQMainWindowController::newContact(QObject*)
{
    QObject* editor = ViewClasses::make(kMailEditorClass);
    if (!editor)
        return;
    QMetaObject::invokeMethod(editor, "setEmail", Q_ARG(QVariant, QVariant()));
    QMetaObject::invokeMethod(editor, "showWindowModalToWindow", Q_ARG(QWidget*, window()));
}

void TQMainWindowController::newGroup(QObject*)
{
    // The sheet keeps itself alive while it is open; its action's answer comes back here.
    QObject* sheet = ViewClasses::make(kNewGroupClass);
    if (!sheet)
        return;
    if (auto* groupSheet = qobject_cast<TQNewGroupController*>(sheet))
        groupSheet->setCallbackTarget(this);
    QMetaObject::invokeMethod(sheet, "showWindowModalToWindow", Q_ARG(QWidget*, window()));
}

void TQMainWindowController::newFakeAction(QObject*) {}

void TQMainWindowController::uploadFilesOrFolder(QObject*)
{
    auto* panel = new QFileDialog(window());
    panel->setObjectName(QStringLiteral("uploadPanel"));
    panel->setFileMode(QFileDialog::ExistingFiles);
    panel->setOption(QFileDialog::ShowDirsOnly, false);
    panel->setLabelText(QFileDialog::Accept, StringTable::text(QStringLiteral("Select")));
    panel->setWindowModality(Qt::WindowModal);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<TQMainWindowController> self = this;
    connect(panel, &QFileDialog::finished, this, [self, panel](int result) {
        if (self)
            self->uploadPanelDidEnd(result == QDialog::Accepted ? 1 : 0, panel->selectedUrls());
    });
    panel->open();
}

void TQMainWindowController::uploadURLs(const QList<QUrl>& urls, const QString& callback,
                                        bool starredAndTrashed)
{
    QVariantMap parameters{
        {QStringLiteral("managedObjectContext"),
         QVariant::fromValue<QObject*>(m_sidebarController->managedObjectContext())},
        {QStringLiteral("fileURLs"), QVariant::fromValue(urls)},
        {QStringLiteral("progressID"), QStringLiteral("upload_%1").arg(ActionRequests::uniqueNumber())},
        {QStringLiteral("progressConsumer"), progressConsumer()},
    };
    if (starredAndTrashed) {
        parameters.insert(QStringLiteral("isStarred"), topIs(existingControllerForMode(2)));
        parameters.insert(QStringLiteral("isTrashed"), topIs(existingControllerForMode(5)));
    }
    ActionRequests::executeDocumentAction(QStringLiteral("UploadFiles"),
                                          Invocation::invocationForSelector(callback, this), parameters);
}

void TQMainWindowController::uploadPanelDidEnd(int returnCode, const QList<QUrl>& urls)
{
    if (returnCode != 1 || urls.isEmpty())
        return;
    QStringList names;
    for (const QUrl& url : urls)
        names << url.toString();
    TQLog("Uploading files... : %@", names.join(QStringLiteral(", ")));
    uploadURLs(urls, QStringLiteral("operationDidFinishWithResult:error:"), true);
    DMTracker::defaultTracker()->trackEventInCategory(kToolbarCategory, QStringLiteral("Create"),
                                                      QStringLiteral("Upload"));
}

void TQMainWindowController::openRecent(QObject* item)
{
    const QVariant record = item ? item->property(kRepresentedObjectProperty.toLatin1()) : QVariant();
    if (!record.value<ManagedObjectPtr>())
        return;
    ActionRequests::executeDocumentAction(QStringLiteral("OpenDocument"), nullptr,
                                          {{QStringLiteral("documentEntity"), record}});
}

void TQMainWindowController::clearRecentDocuments(QObject*)
{
    TQPreferencesManager::sharedManager()->resetRecents();
}

void TQMainWindowController::updateRecentMenu(QMenu* menu)
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
    ManagedObjectContext* context = m_sidebarController->managedObjectContext();
    QStringList missing;
    int shown = 0;
    for (const QString& identifier : TQPreferencesManager::sharedManager()->allRecents()) {
        if (shown == kMaximumRecentItems)
            break;
        const auto file = context ? File::fileWithIdentifier(identifier, context) : nullptr;
        if (!file) {
            missing << identifier;
            continue;
        }
        QAction* item = UserInterfaceItem::makeAction(file->title(), QStringLiteral("openRecent:"), menu);
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

bool TQMainWindowController::validateUserInterfaceItem(QObject* item)
{
    const QString command = UserInterfaceItem::command(item);
    if (hasAttachedSheet())
        return false;
    TQViewController* top = m_navigationController->topController();
    const bool answers = ResponderChain::respondsToCommand(this, command);
    const auto askTop = [&] {
        bool answer = true;
        QMetaObject::invokeMethod(top, "validateUserInterfaceItem", Q_RETURN_ARG(bool, answer),
                                  Q_ARG(QObject*, item));
        return answer;
    };
    if (command == QLatin1String("newGroup:") && !TQNewGroupController::isCreateGroupAvailable())
        return false;
    if (command == QLatin1String("newGroup:") && top && topIs(existingControllerForMode(3)))
        return askTop();
    if (command == QLatin1String("uploadFilesOrFolder:")) {
        if (topIs(existingControllerForMode(4)))
            return false;
        if (top && ViewClasses::inherits(top, kFileViewClass))
            return askTop();
    }
    if (command == QLatin1String("openRecent:") && UserInterfaceItem::tag(item) == kRecentItemsTag) {
        if (auto* action = qobject_cast<QAction*>(item))
            updateRecentMenu(action->menu());
        return answers;
    }
    if (command == QLatin1String("clearRecentDocuments:"))
        return !TQPreferencesManager::sharedManager()->allRecents().isEmpty();
    if (top && ResponderChain::respondsToCommand(top, command))
        return askTop();
    const int content = top ? top->contentType() : TQViewController::NoContent;
    if (command == QLatin1String("toggleFilesInsideFolders:")) {
        UserInterfaceItem::setTitle(
            item, StringTable::text(TQPreferencesManager::sharedManager()->hiddenFilesInFolder()
                                        ? QStringLiteral("ShowFilesInFolder")
                                        : QStringLiteral("HideFilesInFolder")));
        return answers;
    }
    if ((command == QLatin1String("newContact:") || command == QLatin1String("newGroup:")) &&
        content == TQViewController::DocumentsContent)
        return false;
    if (command.startsWith(QLatin1String("new")) && command != QLatin1String("newCollection:") &&
        topIs(existingControllerForMode(4)))
        return false;
    static const QStringList documentCommands{QStringLiteral("newDocument:"),
                                              QStringLiteral("newDrawing:"),
                                              QStringLiteral("newPresentation:"),
                                              QStringLiteral("newSpreadsheet:"),
                                              QStringLiteral("newForm:"),
                                              QStringLiteral("newCollection:"),
                                              QStringLiteral("uploadFilesOrFolder:")};
    if (documentCommands.contains(command) && content == TQViewController::ContactsContent)
        return false;
    return answers; // every action is allowed offline
}

void TQMainWindowController::uploadFiles(const QStringList& fileNames)
{
    if (fileNames.isEmpty()) {
        TQLog("E: Unexpected call to uploadFiles service with no files!");
        return;
    }
    uploadURLs(fileURLsOf(fileNames), QStringLiteral("uploadDidFinishWithResult:error:"), false);
}

void TQMainWindowController::linkToShare(const QStringList& fileNames)
{
    TQLog("Called service: getLinkToShare");
    if (fileNames.isEmpty()) {
        TQLog("E: Unexpected call to uploadFiles service with no files!");
        return;
    }
    TQSession* session = m_sessionManager->currentSession();
    auto access = GeneralACLPermissionAdapter::generalACLPermissionAdapterWithUsername(
        session ? session->username() : QString());
    access->setType(QStringLiteral("default"));
    access->setRole(QStringLiteral("reader"));
    access->setHasLink(true);
    const QVariantMap parameters{
        {QStringLiteral("managedObjectContext"),
         QVariant::fromValue<QObject*>(m_sidebarController->managedObjectContext())},
        {QStringLiteral("fileURLs"), QVariant::fromValue(fileURLsOf(fileNames))},
        {QStringLiteral("generalACLPermission"), QVariant::fromValue(access)},
        {QStringLiteral("progressID"), QStringLiteral("upload_%1").arg(ActionRequests::uniqueNumber())},
        {QStringLiteral("progressConsumer"), progressConsumer()},
    };
    ActionRequests::executeDocumentAction(
        QStringLiteral("UploadFiles"),
        Invocation::invocationForSelector(QStringLiteral("uploadLinkDidFinishWithResult:error:"), this),
        parameters);
}

void TQMainWindowController::uploadAndShare(const QStringList& fileNames)
{
    auto* share = ViewClasses::make<TQFloatingContentController>(kShareWithClass);
    if (!share)
        return;
    QMetaObject::invokeMethod(share, "setFilesToUpload", Q_ARG(QStringList, fileNames));
    showQuickShareDialogForContent(share->view(), share, {}, QPoint());
}

bool TQMainWindowController::acceptorValidateDraggingInfo(QObject*, QDropEvent* draggingInfo)
{
    return draggingInfo && !DragBus::fileNames(draggingInfo->mimeData()).isEmpty();
}

bool TQMainWindowController::acceptorProcessDraggingInfo(QObject* acceptor, QDropEvent* draggingInfo)
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

QWidget* TQMainWindowController::showQuickShareDialogForContent(QWidget* content, QObject* controller,
                                                                const QVariantList& selection,
                                                                const QPoint& point)
{
    if (!content)
        return nullptr;
    const int arrow = selection.size() < 2 && !point.isNull() ? -1 : 0;
    auto* popover = new TQFloatingWindow(QRect(QPoint(), content->size()), QString(), arrow);
    popover->setContentView(content);
    popover->setHasCloseButton(true);
    if (auto* floating = qobject_cast<TQFloatingContentController*>(controller)) {
        floating->setWindow(popover);
        floating->setShouldReleaseOnWindowClose(true);
    }
    QWidget* main = window();
    QWidget* parent = nullptr;
    QPoint at = point;
    if (arrow != 0) {
        parent = main;
        at = popover->validatePoint(point, main);
    } else if (main) {
        // Centred on the main window, free of it.
        const QRect frame = main->frameGeometry();
        at = QPoint(frame.x() + frame.width() / 2 - popover->frame().width() / 2,
                    frame.y() + frame.height() / 2 - popover->frame().height() / 2);
    }
    if (m_quickShareDialog)
        m_quickShareDialog->close();
    popover->attachToWindow(parent, at);
    m_quickShareDialog = popover;
    connect(popover, &QObject::destroyed, this, [this, main = QPointer<QWidget>(main)] {
        m_quickShareDialog = nullptr;
        if (main && main->isVisible())
            main->activateWindow();
    });
    return popover;
}

void TQMainWindowController::operationDidFinishWithResult(const QVariant&, const QVariant& error)
{
    TQLog("Received action callback");
    ActionError::processActionError(ActionError::errorFromValue(error));
}

void TQMainWindowController::uploadDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    TQLog("Received upload callback");
    operationDidFinishWithResult(result, error);
    if (ActionError::errorFromValue(error).isNull())
        ActionNotifications::postUpload(ActionNotifications::records(result));
}

void TQMainWindowController::uploadLinkDidFinishWithResult(const QVariant& result, const QVariant& error)
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

QString TQMainWindowController::creationMessage(const QVariant& record)
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

void TQMainWindowController::creationDidFinishWithResult(const QVariant& result, const QVariant& error)
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
    NotificationCenter::defaultCenter().post(kNewDocumentCreatedNotification, record);
    ActionNotifications::post(title, creationMessage(record));
}

} // namespace tavrel
