#pragma once

#include "controls/TQHostView.h"
#include "controls/TQWindowController.h"
#include "platform/ui/MessageNames.h"
#include "session/TQSessionManager.h"
#include "window/SidebarMode.h"
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
class IStatusBar;
class IViewFactory;
class TQMainWindow;
class TQMainWindowCommands;
class TQMainWindowModes;
class TQMainWindowStatusFeed;
class TQNavigationController;
class TQProgressSession;
class TQSidebarController;
class TQViewController;

// Owns the main window: the sidebar at the left, one navigation stack at the right under the banner,
// the title strip with its controls, and the status area. What it shows above its own layer comes from
// the view factory it is handed: the content of each sidebar mode (kept by TQMainWindowModes, a
// stand-in where the program has none), the first-synchronisation screen, the status bar (fed by
// TQMainWindowStatusFeed) and the sheets. It follows the current session's state (first-synchronisation
// screen, then the documents) and shows and hides the window. The window's own commands and their
// validation are TQMainWindowCommands, right behind it in the responder chain.
//
// The program makes one once a session has started, with its session manager and its views (the
// classes the `*Classes` files registered, when no factory is given), and calls
// toggleWindowVisibility() to show the window:
//
//     auto* controller = new TQMainWindowController(TQSessionManager::sharedManager(),
//                                                   std::make_shared<ViewClassesFactory>());
//     controller->toggleWindowVisibility(nullptr);
class TQMainWindowController : public TQWindowController
{
    Q_OBJECT
public:
    static constexpr double kTitlebarHeight = 36.0;
    // The design names under which the `*Classes` files register the views ViewClassesFactory makes.
    static inline const QString kAllItemsClass = QStringLiteral("TQAllItemsFilteringViewController");
    static inline const QString kFavoritesListClass = QStringLiteral("TQAllFavoritesController");
    static inline const QString kCollectionsListClass = QStringLiteral("TQAllCollectionsController");
    static inline const QString kContactsClass = QStringLiteral("TQTopContactsViewController");
    static inline const QString kTrashClass = QStringLiteral("TQTrashFilteringViewController");
    static inline const QString kContactViewClass = QStringLiteral("TQContactViewController");
    static inline const QString kInitializeClass = QStringLiteral("TQInitializeViewController");
    static inline const QString kFileViewClass = QStringLiteral("TQFileViewController");
    // Shared objects of the program (registered as shared): the status bar and the banner's actions;
    // then the first-run tour, the contact editor and the sheets, which free themselves.
    static inline const QString kStatusBarClass = QStringLiteral("TQStatusBarController");
    static inline const QString kActionProcessorClass = QStringLiteral("TQActionProcessor");
    static inline const QString kSplashClass = QStringLiteral("TQSplashWindowController");
    static inline const QString kMailEditorClass = QStringLiteral("TQEditMailController");
    static inline const QString kNewGroupClass = QStringLiteral("TQNewGroupController");
    static inline const QString kShareWithClass = QStringLiteral("TQShareWithController");

    static inline const QString kFileInFoldersVisibilityNotification = Notifications::fileInFoldersVisibility;
    static inline const QString kNewDocumentCreatedNotification = Notifications::newDocumentCreated;
    // The tag of the menu item that holds the recent-items submenu.
    static constexpr int kRecentItemsTag = 1002;
    static constexpr int kMaximumRecentItems = 10;

    // No factory: ViewClassesFactory.
    explicit TQMainWindowController(TQSessionManager* sessionManager = nullptr,
                                    std::shared_ptr<IViewFactory> views = nullptr, QObject* parent = nullptr);
    ~TQMainWindowController() override;

    TQMainWindow* mainWindow() const;
    TQSessionManager* sessionManager() const { return m_sessionManager; }
    IViewFactory* views() const { return m_views.get(); }
    TQTitlebar* titleToolbar() const { return m_titleToolbar; }
    TQSidebarController* sidebarController() const { return m_sidebarController; }
    TQNavigationController* navigationController() const { return m_navigationController; }
    // The view the banner lies over.
    QWidget* notificationRefferal() const;
    TQHostView* leftHost() const { return m_leftHost; }
    TQHostView* rightHost() const { return m_rightHost; }

    // The content controller of a mode (-1, 1 to 5), made on first use; nullptr for another mode, or
    // for the personal profile while the user's own record does not exist.
    TQViewController* controllerForMode(SidebarMode mode);
    TQViewController* allItemsController() { return controllerForMode(SidebarMode::AllItems); }
    TQViewController* starredItemsController() { return controllerForMode(SidebarMode::Starred); }
    TQViewController* contactsController() { return controllerForMode(SidebarMode::Contacts); }
    TQViewController* collectionsController() { return controllerForMode(SidebarMode::Collections); }
    TQViewController* trashController() { return controllerForMode(SidebarMode::Trash); }
    TQViewController* myInfoController() { return controllerForMode(SidebarMode::PersonalProfile); }
    // Already made, without making it.
    TQViewController* existingControllerForMode(SidebarMode mode) const;

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

    // The window's commands, right behind this controller in the responder chain.
    TQMainWindowCommands* commands() const { return m_commands; }
    // Escape and Left go back while something is pushed.
    bool performKeyEquivalent(QKeyEvent* event);
    // Hides the window when it is visible and active, otherwise brings it to the front.
    Q_INVOKABLE void toggleWindowVisibility(QObject* sender);

    // Opens a floating content controller's view as the quick-share popover, closing the one open; the
    // controller owns the popover and goes with it. Answers the popover.
    QWidget* showQuickShareDialogForContent(QWidget* content, QObject* controller,
                                            const QVariantList& selection, const QPoint& point);

    // The menus of the title strip: the new-item menu and the main menu (holding the recent items).
    QMenu* newItemMenu() const { return m_newItemMenu; }
    QMenu* mainMenu() const { return m_mainMenu; }

private:
    void buildMenus();
    QPointer<QMenu> m_newItemMenu;
    QPointer<QMenu> m_mainMenu;

    void buildWindow();
    void chooseFirstContent();
    void observeSessionState(TQSession* session);
    void stopObservingSessionState();
    void sessionStateDidChange(TQSession* session, int state);
    IStatusBar* statusBar() const;

    QPointer<TQSessionManager> m_sessionManager;
    QPointer<TQTitlebar> m_titleToolbar;
    TQSidebarController* m_sidebarController = nullptr;
    TQNavigationController* m_navigationController = nullptr;
    QPointer<TQHostView> m_leftHost;
    QPointer<TQHostView> m_rightHost;
    QPointer<QWidget> m_statusArea;
    std::shared_ptr<IViewFactory> m_views;
    TQMainWindowModes* m_modes = nullptr;
    TQMainWindowCommands* m_commands = nullptr;
    TQMainWindowStatusFeed* m_statusFeed = nullptr;
    QPointer<TQViewController> m_initializeController;
    std::shared_ptr<Category> m_insideCategory;
    QPointer<QWidget> m_quickShareDialog;
    QMetaObject::Connection m_stateConnection;
    QPointer<TQSession> m_observedSession;
};

} // namespace tavrel
