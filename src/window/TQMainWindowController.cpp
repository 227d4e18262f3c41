#include "window/TQMainWindowController.h"

#include "controls/TQHostView.h"
#include "model/TQPreferencesManager.h"
#include "notifications/TQExternalNotificationCenter.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/system/TQLog.h"
#include "platform/ui/CommandValidation.h"
#include "platform/ui/CurrentEvent.h"
#include "platform/ui/StringTable.h"
#include "progress/TQProgressManager.h"
#include "session/TQSessionManager.h"
#include "window/IFirstSynchronisationView.h"
#include "window/IStatusBar.h"
#include "window/IViewFactory.h"
#include "window/TQMainWindow.h"
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

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
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
} // namespace

TQMainWindowController::TQMainWindowController(TQSessionManager* sessionManager,
                                               std::shared_ptr<IViewFactory> views, QObject* parent)
    : TQWindowController(parent),
      m_sessionManager(sessionManager ? sessionManager : TQSessionManager::sharedManager()),
      m_views(views ? std::move(views) : std::make_shared<ViewClassesFactory>())
{
    m_sidebarController = new TQSidebarController(m_sessionManager, this);
    buildWindow();
    m_modes = new TQMainWindowModes(m_sidebarController, m_navigationController, m_views.get(),
                                    m_sessionManager, this);
    awakeFromNib();
}

TQMainWindowController::~TQMainWindowController()
{
    stopObservingSessionState();
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

void TQMainWindowController::activateUserProfile(QObject*)
{
    m_sidebarController->activateMode(SidebarMode::PersonalProfile);
}
void TQMainWindowController::activateAllItems(QObject*)
{
    m_sidebarController->activateMode(SidebarMode::AllItems);
}
void TQMainWindowController::activateFavorites(QObject*)
{
    m_sidebarController->activateMode(SidebarMode::Starred);
}
void TQMainWindowController::activateAllContacts(QObject*)
{
    m_sidebarController->activateMode(SidebarMode::Contacts);
}
void TQMainWindowController::activateCollections(QObject*)
{
    m_sidebarController->activateMode(SidebarMode::Collections);
}
void TQMainWindowController::activateTrash(QObject*)
{
    m_sidebarController->activateMode(SidebarMode::Trash);
}

void TQMainWindowController::editEntity(QObject* sender)
{
    if (TQViewController* top = m_navigationController->topController())
        top->editEntity(sender);
}
void TQMainWindowController::share(QObject* sender)
{
    if (TQViewController* top = m_navigationController->topController())
        top->share(sender);
}
void TQMainWindowController::deleteEntity(QObject* sender)
{
    if (TQViewController* top = m_navigationController->topController())
        top->deleteEntity(sender);
}

void TQMainWindowController::goBack(QObject*)
{
    if (m_navigationController->level() != 0)
        m_navigationController->popController();
}

bool TQMainWindowController::performKeyEquivalent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Escape || event->key() == Qt::Key_Left) &&
        m_navigationController->level() > 0) {
        goBack(nullptr);
        return true;
    }
    return false;
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
