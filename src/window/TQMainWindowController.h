#pragma once

#include "controls/TQHostView.h"
#include "controls/TQWindowController.h"
#include "session/TQSessionManager.h"
#include "window/TQTitlebar.h"

#include <QHash>
#include <QPointer>
#include <memory>

class QAction;
class QKeyEvent;
#include <QMenu>
class QDropEvent;
class QMimeData;

namespace tavrel {

class Category;
class Notification;
class TQMainWindow;
class TQNavigationController;
class TQProgressSession;
class TQSidebarController;
class TQViewController;

// Owns the main window: the sidebar at the left, one navigation stack at the right under the banner,
// the title strip with its controls, and the status area. It makes one content controller per sidebar
// mode on first use (the classes the program registered with ViewClasses, else a stand-in), follows
// the current session's state (first-synchronisation screen, then the documents), feeds the status
// bar from the progress model, and shows and hides the window. It is also the target of the window's
// own commands (TQMainWindowCommands.cpp).
//
// The program makes one once a session has started, with its session manager, and calls
// toggleWindowVisibility() to show the window:
//
//     auto* controller = new TQMainWindowController(TQSessionManager::sharedManager());
//     controller->toggleWindowVisibility(nullptr);
class TQMainWindowController : public TQWindowController
{
    Q_OBJECT
public:
    static constexpr double kTitlebarHeight = 36.0;
    // The design names of the classes made through ViewClasses, with their stand-ins when unregistered.
    static inline const QString kAllItemsClass = QStringLiteral("TQAllItemsFilteringViewController");
    static inline const QString kFavoritesListClass = QStringLiteral("TQAllFavoritesController");
    static inline const QString kCollectionsListClass = QStringLiteral("TQAllCollectionsController");
    static inline const QString kContactsClass = QStringLiteral("TQTopContactsViewController");
    static inline const QString kTrashClass = QStringLiteral("TQTrashFilteringViewController");
    static inline const QString kContactViewClass = QStringLiteral("TQContactViewController");
    static inline const QString kInitializeClass = QStringLiteral("TQInitializeViewController");
    static inline const QString kFileViewClass = QStringLiteral("TQFileViewController");
    // Shared objects of the program (ViewClasses, shared): the status bar, the banner's actions, the
    // first-run tour, the contact editor.
    static inline const QString kStatusBarClass = QStringLiteral("TQStatusBarController");
    static inline const QString kActionProcessorClass = QStringLiteral("TQActionProcessor");
    static inline const QString kSplashClass = QStringLiteral("TQSplashWindowController");
    static inline const QString kMailEditorClass = QStringLiteral("TQEditMailController");
    static inline const QString kNewGroupClass = QStringLiteral("TQNewGroupController");
    static inline const QString kShareWithClass = QStringLiteral("TQShareWithController");

    static inline const QString kFileInFoldersVisibilityNotification =
        QStringLiteral("TQFileInFoldersVisibilityNotification");
    static inline const QString kNewDocumentCreatedNotification =
        QStringLiteral("TQNewDocumentCreatedNotification");
    // The tag of the menu item that holds the recent-items submenu.
    static constexpr int kRecentItemsTag = 1002;
    static constexpr int kMaximumRecentItems = 10;

    explicit TQMainWindowController(TQSessionManager* sessionManager = nullptr, QObject* parent = nullptr);
    ~TQMainWindowController() override;

    TQMainWindow* mainWindow() const;
    TQSessionManager* sessionManager() const { return m_sessionManager; }
    TQTitlebar* titleToolbar() const { return m_titleToolbar; }
    TQSidebarController* sidebarController() const { return m_sidebarController; }
    TQNavigationController* navigationController() const { return m_navigationController; }
    // The view the banner lies over.
    QWidget* notificationRefferal() const;
    TQHostView* leftHost() const { return m_leftHost; }
    TQHostView* rightHost() const { return m_rightHost; }

    // The content controller of a mode (-1, 1 to 5), made on first use; nullptr for another mode, or
    // for the personal profile while the user's own record does not exist.
    TQViewController* controllerForMode(int mode);
    TQViewController* allItemsController() { return controllerForMode(1); }
    TQViewController* starredItemsController() { return controllerForMode(2); }
    TQViewController* contactsController() { return controllerForMode(3); }
    TQViewController* collectionsController() { return controllerForMode(4); }
    TQViewController* trashController() { return controllerForMode(5); }
    TQViewController* myInfoController() { return controllerForMode(-1); }
    // Already made, without making it.
    TQViewController* existingControllerForMode(int mode) const;
    // The window's rule for what a place shows: a filtering view must wrap the list of its own place
    // (all items, starred, collections, trash), never another place's; any other content is the
    // place's own. A place whose content breaks the rule shows the placeholder.
    static bool showsItsOwnList(int mode, const TQViewController* content);

    std::shared_ptr<Category> insideCategory() const { return m_insideCategory; }
    void setInsideCategory(const std::shared_ptr<Category>& category) { m_insideCategory = category; }
    QWidget* quickShareDialog() const { return m_quickShareDialog; }
    void setQuickShareDialog(QWidget* dialog) { m_quickShareDialog = dialog; }
    // Whether the window follows the current session's state now.
    bool isObservingSessionState() const { return bool(m_stateConnection); }
    // The status bar's identifier of a progress session.
    static QString progressIdentifier(const TQProgressSession* session);
    // part * 100 / total in whole numbers; 0 for no total.
    static quint64 progressPercentage(quint64 part, quint64 total);

    void awakeFromNib() override;
    // After every window update: the title bar and the view on top enable their buttons.
    void windowDidUpdate();

    // Mode commands.
    Q_INVOKABLE void activateUserProfile(QObject* sender);
    Q_INVOKABLE void activateAllItems(QObject* sender);
    Q_INVOKABLE void activateFavorites(QObject* sender);
    Q_INVOKABLE void activateAllContacts(QObject* sender);
    Q_INVOKABLE void activateCollections(QObject* sender);
    Q_INVOKABLE void activateTrash(QObject* sender);
    // Forwarded to the view on top when it has them.
    Q_INVOKABLE void editEntity(QObject* sender);
    Q_INVOKABLE void share(QObject* sender);
    Q_INVOKABLE void deleteEntity(QObject* sender);
    Q_INVOKABLE void goBack(QObject* sender);
    // Escape and Left go back while something is pushed.
    bool performKeyEquivalent(QKeyEvent* event);
    // Hides the window when it is visible and active, otherwise brings it to the front.
    Q_INVOKABLE void toggleWindowVisibility(QObject* sender);

    void onSidebarModeChange(const Notification& notification);
    void onSidebarModeDidReactivate(const Notification& notification);

    // --- Commands (TQMainWindowCommands.cpp) ---
    Q_INVOKABLE void update(QObject* sender);
    Q_INVOKABLE void fastUpdate(QObject* sender);
    Q_INVOKABLE void close(QObject* sender);
    Q_INVOKABLE void toggleFilesInsideFolders(QObject* sender);
    Q_INVOKABLE void newDocument(QObject* sender);
    Q_INVOKABLE void newPresentation(QObject* sender);
    Q_INVOKABLE void newSpreadsheet(QObject* sender);
    Q_INVOKABLE void newDrawing(QObject* sender);
    Q_INVOKABLE void newCollection(QObject* sender);
    Q_INVOKABLE void newContact(QObject* sender);
    Q_INVOKABLE void newGroup(QObject* sender);
    // The new-item button's own command: its menu items carry theirs.
    Q_INVOKABLE void newFakeAction(QObject* sender);
    // Opens the file chooser as a sheet; uploadPanelDidEnd runs when it is answered.
    Q_INVOKABLE void uploadFilesOrFolder(QObject* sender);
    void uploadPanelDidEnd(int returnCode, const QList<QUrl>& urls);
    Q_INVOKABLE void openRecent(QObject* item);
    Q_INVOKABLE void clearRecentDocuments(QObject* sender);
    // Rebuilds the recent-items submenu: at most ten known documents, a separator and the clear item.
    void updateRecentMenu(QMenu* menu);
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item);

    // The services, reached through the program's command-line verbs with file names.
    void uploadFiles(const QStringList& fileNames);
    void linkToShare(const QStringList& fileNames);
    void uploadAndShare(const QStringList& fileNames);
    // The status item's drop view asks these.
    Q_INVOKABLE bool acceptorValidateDraggingInfo(QObject* acceptor, QDropEvent* draggingInfo);
    Q_INVOKABLE bool acceptorProcessDraggingInfo(QObject* acceptor, QDropEvent* draggingInfo);

    // Opens a floating content controller's view as the quick-share popover, closing the one open; the
    // controller owns the popover and goes with it. Answers the popover.
    QWidget* showQuickShareDialogForContent(QWidget* content, QObject* controller,
                                            const QVariantList& selection, const QPoint& point);

    // The callbacks of the window's actions.
    Q_INVOKABLE void operationDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void uploadDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void uploadLinkDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void creationDidFinishWithResult(const QVariant& result, const QVariant& error);

    // The menus of the title strip: the new-item menu and the main menu (holding the recent items).
    QMenu* newItemMenu() const { return m_newItemMenu; }
    QMenu* mainMenu() const { return m_mainMenu; }
    // The message of a created item's notification.
    static QString creationMessage(const QVariant& record);

private:
    void createEmptyDocument(const QString& type, const QString& usageValue);
    bool topIs(TQViewController* controller) const;
    bool hasAttachedSheet() const;
    void buildMenus();
    void uploadURLs(const QList<QUrl>& urls, const QString& callback, bool starredAndTrashed);
    QPointer<QMenu> m_newItemMenu;
    QPointer<QMenu> m_mainMenu;

    void buildWindow();
    void chooseFirstContent();
    void observeSessionState(TQSession* session);
    void stopObservingSessionState();
    void sessionStateDidChange(TQSession* session, int state);
    void topSessionDidChange(TQProgressSession* session);
    void stopObservingProgressSession(TQProgressSession* session);
    QObject* statusBar() const;
    // The bar's words for a lost connection, shown while it lasts.
    static void showConnectionStatus(QObject* bar, bool offline);
    TQViewController* makeController(int mode);
    TQViewController* makeFilteringController(const QString& title, const QString& innerClass);

    QPointer<TQSessionManager> m_sessionManager;
    QPointer<TQTitlebar> m_titleToolbar;
    TQSidebarController* m_sidebarController = nullptr;
    TQNavigationController* m_navigationController = nullptr;
    QPointer<TQHostView> m_leftHost;
    QPointer<TQHostView> m_rightHost;
    QPointer<QWidget> m_statusArea;
    QHash<int, QPointer<TQViewController>> m_modeControllers;
    QPointer<TQViewController> m_initializeController;
    std::shared_ptr<Category> m_insideCategory;
    QPointer<QWidget> m_quickShareDialog;
    QMetaObject::Connection m_stateConnection;
    QPointer<TQSession> m_observedSession;
    QHash<TQProgressSession*, QList<QMetaObject::Connection>> m_progressConnections;
};

} // namespace tavrel
