#include "window/TQMainWindowController.h"

#include "controls/TQFloatingWindow.h"
#include "controls/TQHostView.h"
#include "controls/TQTriStateButton.h"
#include "model/TQPreferencesManager.h"
#include "notifications/TQExternalNotificationCenter.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/system/TQLog.h"
#include "platform/ui/CommandValidation.h"
#include "platform/ui/CurrentEvent.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "progress/TQProgressManager.h"
#include "session/TQSessionManager.h"
#include "window/IFirstSynchronisationView.h"
#include "window/IStatusBar.h"
#include "window/IViewFactory.h"
#include "window/StandardKeys.h"
#include "window/TQFloatingContentController.h"
#include "window/TQMainWindow.h"
#include "window/TQMainWindowCommands.h"
#include "window/TQMainWindowModes.h"
#include "window/TQMainWindowStatusFeed.h"
#include "window/TQNavigationController.h"
#include "window/TQNotificationController.h"
#include "window/TQSidebar.h"
#include "window/TQSidebarController.h"
#include "window/TQStandInViewController.h"
#include "window/TQTitlebar.h"
#include "window/TQTitlebarView.h"
#include "window/ViewClassesFactory.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>

namespace tavrel {

namespace {
// The first-synchronisation screen's presentations, for a view that has them.
void present(TQViewController* controller, void (IFirstSynchronisationView::*presentation)())
{
    if (auto* screen = dynamic_cast<IFirstSynchronisationView*>(controller))
        (screen->*presentation)();
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

TQMainWindowController::TQMainWindowController(TQSessionManager* sessionManager,
                                               std::shared_ptr<IViewFactory> views, QObject* parent)
    : TQWindowController(parent),
      m_sessionManager(sessionManager ? sessionManager : TQSessionManager::sharedManager()),
      m_views(views ? std::move(views) : std::make_shared<ViewClassesFactory>())
{
    m_sidebarController = new TQSidebarController(m_sessionManager, this);
    buildWindow();
    // The window's commands answer right after this controller.
    m_commands = new TQMainWindowCommands(this);
    ResponderChain::insertResponder(window(), m_commands);
    m_modes = new TQMainWindowModes(m_sidebarController, m_navigationController, m_views.get(),
                                    m_sessionManager, this);
    awakeFromNib();
}

TQMainWindowController::~TQMainWindowController()
{
    stopObservingSessionState();
    delete m_commands;
    m_commands = nullptr;
    delete m_statusFeed;
    // The process-wide bar outlives the window: it takes its view back before the window goes.
    if (IStatusBar* bar = statusBar())
        bar->detachFromWindow(window());
    // The content controllers own their views, which the window holds while they are shown.
    delete m_navigationController;
    m_navigationController = nullptr;
    delete m_modes;
    m_modes = nullptr;
    delete m_initializeController.data();
}

TQMainWindow* TQMainWindowController::mainWindow() const
{
    return static_cast<TQMainWindow*>(window());
}

QWidget* TQMainWindowController::notificationRefferal() const
{
    return m_rightHost;
}

void TQMainWindowController::buildWindow()
{
    auto* window = new TQMainWindow;
    window->setDelegate(this);
    window->setTitle(QCoreApplication::applicationName().isEmpty() ? QStringLiteral("Tavrel")
                                                                   : QCoreApplication::applicationName());
    setWindow(window);

    m_titleToolbar = new TQTitlebar;
    m_titleToolbar->setObjectName(QStringLiteral("titleToolbar"));

    auto* content = window->contentView();
    auto* columns = new QHBoxLayout(content);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);
    m_leftHost = new TQHostView(content);
    m_leftHost->setObjectName(QStringLiteral("leftHost"));
    m_leftHost->setFixedWidth(TQSidebar::kWidth);
    m_leftHost->setBackgroundColor(QColor(37, 37, 37));
    columns->addWidget(m_leftHost);
    auto* right = new QWidget(content);
    right->setObjectName(QStringLiteral("rightColumn"));
    auto* rows = new QVBoxLayout(right);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    m_rightHost = new TQHostView(right);
    m_rightHost->setObjectName(QStringLiteral("rightHost"));
    auto* hostLayout = new QVBoxLayout(m_rightHost);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    m_navigationController = new TQNavigationController(this);
    hostLayout->addWidget(m_navigationController->view());
    rows->addWidget(m_rightHost, 1);
    m_statusArea = new QWidget(right);
    m_statusArea->setObjectName(QStringLiteral("statusArea"));
    auto* statusLayout = new QVBoxLayout(m_statusArea);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    // The bar slides in over the bottom of the content area by itself.
    if (IStatusBar* bar = statusBar())
        bar->attachToWindow([host = m_rightHost] { return host.data(); });
    rows->addWidget(m_statusArea);
    columns->addWidget(right, 1);
}

void TQMainWindowController::awakeFromNib()
{
    TQMainWindow* window = mainWindow();
    window->installTitlebar(m_titleToolbar);
    window->setTitlebarHeight(kTitlebarHeight);
    buildMenus();
    m_navigationController->setToolbar(m_titleToolbar);
    // The window manager's frame carries the program's name; the strip names the view shown.
    window->setShouldShowTitle(false);
    connect(m_navigationController, &TQNavigationController::topControllerDidChange, this,
            [this](TQViewController* top) {
                mainWindow()->titlebarView()->setTitle(top ? top->title() : QString());
            });

    TQNotificationController* banner = TQNotificationController::sharedNotificationController();
    banner->setReferralView(m_rightHost);
    if (QObject* actions = m_views->bannerDelegate())
        banner->setDelegate(actions);

    // Loading the sidebar turns its first button on, which installs the all-items list at once.
    auto* sidebarLayout = new QVBoxLayout(m_leftHost);
    sidebarLayout->setContentsMargins(0, 0, 0, 0);
    m_sidebarController->setNavigationController(m_navigationController);
    sidebarLayout->addWidget(m_sidebarController->view());

    chooseFirstContent();
    TQExternalNotificationCenter::defaultCenter();

    // Offline is said in words at the bottom of the window, not only by the sidebar's red frame.
    m_statusFeed = new TQMainWindowStatusFeed([this] { return statusBar(); }, this);
    connect(&CommandValidation::instance(), &CommandValidation::windowDidUpdate, this,
            &TQMainWindowController::windowDidUpdate);
    TQWindowController::awakeFromNib();
}

void TQMainWindowController::buildMenus()
{
    using Item = UserInterfaceItem;
    m_newItemMenu = new QMenu(window());
    m_newItemMenu->setObjectName(QStringLiteral("newItemMenu"));
    const struct
    {
        const char* key;
        QLatin1String command;
        int tag;
    } newItems[] = {
        {"NewDocumentItem", Commands::newDocument, 101},
        {"NewPresentationItem", Commands::newPresentation, 102},
        {"NewSpreadsheetItem", Commands::newSpreadsheet, 103},
        {"NewDrawingItem", Commands::newDrawing, 104},
        {"NewCollectionItem", Commands::newCollection, 105},
        {nullptr, {}, TQViewController::kNewItemDividerTag},
        {"NewContactItem", Commands::newContact, 201},
        {"NewGroupItem", Commands::newGroup, 202},
        {"UploadFilesItem", Commands::uploadFilesOrFolder, TQViewController::kNewItemTailTag},
    };
    for (const auto& item : newItems) {
        // No contact action creates groups: the command stays out of the menu rather than do nothing.
        if (item.command == Commands::newGroup && !m_views->isNewGroupAvailable())
            continue;
        if (!item.key) {
            QAction* divider = m_newItemMenu->addSeparator();
            Item::setTag(divider, item.tag);
            continue;
        }
        m_newItemMenu->addAction(Item::makeAction(StringTable::text(QString::fromLatin1(item.key)),
                                                  item.command, m_newItemMenu, item.tag));
    }
    CommandValidation::attachToMenu(m_newItemMenu);

    m_mainMenu = new QMenu(window());
    m_mainMenu->setObjectName(QStringLiteral("mainMenu"));
    auto* recent = new QMenu(StringTable::text(QStringLiteral("OpenRecentItem")), m_mainMenu);
    recent->addAction(Item::makeAction(StringTable::text(QStringLiteral("ClearRecentItem")),
                                       Commands::clearRecentDocuments, recent));
    QAction* holder = recent->menuAction();
    Item::setCommand(holder, Commands::openRecent);
    Item::setTag(holder, kRecentItemsTag);
    m_mainMenu->addAction(holder);
    m_mainMenu->addAction(Item::makeAction(StringTable::text(QStringLiteral("UploadFilesItem")),
                                           Commands::uploadFilesOrFolder, m_mainMenu));
    m_mainMenu->addAction(Item::makeAction(StringTable::text(QStringLiteral("HideFilesInFolder")),
                                           Commands::toggleFilesInsideFolders, m_mainMenu));
    m_mainMenu->addSeparator();
    QAction* sync = Item::makeAction(StringTable::text(QStringLiteral("WindowSynchronize")),
                                     Commands::fastUpdate, m_mainMenu);
    m_mainMenu->addAction(sync);
    m_mainMenu->addAction(
        Item::makeAction(StringTable::text(QStringLiteral("FindItem")), Commands::goFind, m_mainMenu));
    m_mainMenu->addSeparator();
    m_mainMenu->addAction(
        Item::makeAction(StringTable::text(QStringLiteral("Close")), Commands::close, m_mainMenu));
    StandardKeys::showKeys(m_mainMenu);
    CommandValidation::attachToMenu(m_mainMenu);

    auto* add =
        titleButton(QStringLiteral("titlebar_add"), Commands::newFakeAction, QStringLiteral("WindowNewItem"));
    add->setMenu(m_newItemMenu);
    auto* refresh = titleButton(QStringLiteral("titlebar_sync"), Commands::fastUpdate,
                                QStringLiteral("WindowSynchronize"));
    auto* menu = titleButton(QStringLiteral("titlebar_menu"), QString(), QStringLiteral("OpenRecentItem"));
    menu->setMenu(m_mainMenu);
    m_titleToolbar->setButtons({add, refresh, menu});
}

void TQMainWindowController::chooseFirstContent()
{
    TQSession* session = m_sessionManager->currentSession();
    const int state = session ? session->state() : TQSession::kStopped;
    if (state == TQSession::kStarting || state == TQSession::kRunning) {
        m_navigationController->installControllerFromBottom(allItemsController());
        return;
    }
    observeSessionState(session);
    if (!m_initializeController) {
        m_initializeController = m_views->makeInitializeController();
        if (!m_initializeController)
            m_initializeController =
                new TQStandInViewController(QString(), TQStandInViewController::Kind::FirstSynchronisation);
    }
    m_navigationController->installControllerFromBottom(m_initializeController);
    switch (state) {
    case TQSession::kConnectionLost:
        present(m_initializeController, &IFirstSynchronisationView::presentOffline);
        break;
    case TQSession::kFirstSyncFailed:
        present(m_initializeController, &IFirstSynchronisationView::presentError);
        break;
    case TQSession::kFirstSyncRunning:
        present(m_initializeController, &IFirstSynchronisationView::presentSyncing);
        break;
    default:
        break;
    }
}

void TQMainWindowController::observeSessionState(TQSession* session)
{
    stopObservingSessionState();
    if (!session)
        return;
    m_observedSession = session;
    m_stateConnection = connect(session, &TQSession::stateChanged, this,
                                [this, session](int state) { sessionStateDidChange(session, state); });
}

void TQMainWindowController::stopObservingSessionState()
{
    if (m_stateConnection)
        disconnect(m_stateConnection);
    m_stateConnection = {};
    m_observedSession = nullptr;
}

void TQMainWindowController::sessionStateDidChange(TQSession* session, int state)
{
    // Only the current session's states count.
    if (session != m_sessionManager->currentSession())
        return;
    TQViewController* top = m_navigationController->topController();
    switch (state) {
    case TQSession::kStopped:
        stopObservingSessionState();
        break;
    case TQSession::kFirstSyncRunning:
        present(top, &IFirstSynchronisationView::presentSyncing);
        break;
    case TQSession::kFirstSyncFailed:
        present(top, &IFirstSynchronisationView::presentError);
        break;
    case TQSession::kConnectionLost:
        present(top, &IFirstSynchronisationView::presentOffline);
        break;
    case TQSession::kRunning:
        stopObservingSessionState();
        m_navigationController->installControllerFromBottom(allItemsController());
        break;
    default:
        break;
    }
}

TQViewController* TQMainWindowController::existingControllerForMode(SidebarMode mode) const
{
    return m_modes ? m_modes->existingControllerForMode(mode) : nullptr;
}

TQViewController* TQMainWindowController::controllerForMode(SidebarMode mode)
{
    return m_modes ? m_modes->controllerForMode(mode) : nullptr;
}

QString TQMainWindowController::progressIdentifier(const TQProgressSession* session)
{
    return TQMainWindowStatusFeed::progressIdentifier(session);
}

quint64 TQMainWindowController::progressPercentage(quint64 part, quint64 total)
{
    return TQMainWindowStatusFeed::progressPercentage(part, total);
}

IStatusBar* TQMainWindowController::statusBar() const
{
    return m_views->statusBar();
}

void TQMainWindowController::windowDidUpdate()
{
    if (m_titleToolbar)
        m_titleToolbar->validateButtons();
    if (TQViewController* top = m_navigationController->topController())
        top->validateButtons();
}

bool TQMainWindowController::performKeyEquivalent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Escape || event->key() == Qt::Key_Left) &&
        m_navigationController->level() > 0) {
        m_commands->goBack(nullptr);
        return true;
    }
    return false;
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

void TQMainWindowController::toggleWindowVisibility(QObject*)
{
    QWidget* window = this->window();
    if (window->isVisible() && window->isActiveWindow()) {
        window->hide();
        return;
    }
    window->show();
    window->raise();
    window->activateWindow();
    TQSession* session = m_sessionManager->currentSession();
    if (session && session->state() == TQSession::kFirstSyncRunning &&
        TQPreferencesManager::sharedManager()
            ->transientValueForKey(TQPreferencesManager::kTQFirstLaunchKey)
            .isValid() &&
        m_views->hasTour()) {
        QPointer<QWidget> target = window;
        QTimer::singleShot(0, this, [target, views = m_views] {
            if (views && target)
                views->showTour(target);
        });
    }
}

} // namespace tavrel
