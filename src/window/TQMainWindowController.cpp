#include "window/TQMainWindowController.h"

#include "chrome/TQFilteringViewController.h"
#include "chrome/TQStatusBarController.h"
#include "controls/TQHostView.h"
#include "model/Mail.h"
#include "model/TQPreferencesManager.h"
#include "notifications/TQExternalNotificationCenter.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/system/TQLog.h"
#include "platform/ui/CommandValidation.h"
#include "platform/ui/CurrentEvent.h"
#include "platform/ui/StringTable.h"
#include "progress/TQProgressManager.h"
#include "progress/TQProgressSession.h"
#include "session/ConnectionStatus.h"
#include "session/TQSessionManager.h"
#include "window/TQMainWindow.h"
#include "window/TQNavigationController.h"
#include "window/TQNotificationController.h"
#include "window/TQSidebar.h"
#include "window/TQSidebarController.h"
#include "window/TQStandInViewController.h"
#include "window/TQTitlebar.h"
#include "window/TQTitlebarView.h"
#include "window/ViewClasses.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace tavrel {

namespace {
bool invokeIfAnswers(QObject* target, const char* method)
{
    if (!target || target->metaObject()->indexOfMethod(QByteArray(method) + "()") < 0)
        return false;
    return QMetaObject::invokeMethod(target, method);
}
} // namespace

TQMainWindowController::TQMainWindowController(TQSessionManager* sessionManager, QObject* parent)
    : TQWindowController(parent),
      m_sessionManager(sessionManager ? sessionManager : TQSessionManager::sharedManager())
{
    m_sidebarController = new TQSidebarController(m_sessionManager, this);
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(this, TQSidebarController::kModeDidChangeNotification, m_sidebarController,
                       [this](const Notification& notification) { onSidebarModeChange(notification); });
    center.addObserver(
        this, TQSidebarController::kModeDidReactivateNotification, m_sidebarController,
        [this](const Notification& notification) { onSidebarModeDidReactivate(notification); });
    // Offline is said in words at the bottom of the window, not only by the sidebar's red frame.
    center.addObserver(this, ConnectionStatus::kCordelConnectionStatusChanged, QVariant(),
                       [this](const Notification& notification) {
                           if (QObject* bar = statusBar())
                               showConnectionStatus(bar, notification.object().toLongLong() != 0);
                       });
    buildWindow();
    awakeFromNib();
}

void TQMainWindowController::showConnectionStatus(QObject* bar, bool offline)
{
    const QString identifier = TQStatusBarController::kConnectionStatusIdentifier;
    if (offline)
        QMetaObject::invokeMethod(bar, "showStatus",
                                  Q_ARG(QString, StringTable::text(QStringLiteral("ServiceUnreachable"))),
                                  Q_ARG(QString, identifier));
    else
        QMetaObject::invokeMethod(bar, "removeStatusWithIdentifier", Q_ARG(QString, identifier));
}

TQMainWindowController::~TQMainWindowController()
{
    stopObservingSessionState();
    // The process-wide bar outlives the window: take its view back before the window goes.
    if (auto* chromeBar = qobject_cast<TQStatusBarController*>(statusBar())) {
        chromeBar->setReferralProvider(nullptr);
        if (QWidget* barView = chromeBar->view(); barView && window() && window()->isAncestorOf(barView)) {
            barView->hide();
            barView->setParent(nullptr);
        }
    }
    for (auto it = m_progressConnections.begin(); it != m_progressConnections.end(); ++it)
        for (const auto& connection : std::as_const(it.value()))
            disconnect(connection);
    // The content controllers own their views, which the window holds while they are shown.
    delete m_navigationController;
    m_navigationController = nullptr;
    qDeleteAll(m_modeControllers);
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
    // The chrome's bar slides in over the bottom of the content area by itself; another bar's view
    // sits in the status strip below it.
    if (auto* chromeBar = qobject_cast<TQStatusBarController*>(statusBar()))
        chromeBar->setReferralProvider([host = m_rightHost] { return host.data(); });
    else if (QObject* bar = statusBar())
        if (auto* barView = qvariant_cast<QWidget*>(bar->property("view")))
            statusLayout->addWidget(barView);
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
    if (ViewClasses::hasClass(kActionProcessorClass))
        banner->setDelegate(ViewClasses::make(kActionProcessorClass));

    // Loading the sidebar turns its first button on, which installs the all-items list at once.
    auto* sidebarLayout = new QVBoxLayout(m_leftHost);
    sidebarLayout->setContentsMargins(0, 0, 0, 0);
    m_sidebarController->setNavigationController(m_navigationController);
    sidebarLayout->addWidget(m_sidebarController->view());

    chooseFirstContent();
    TQExternalNotificationCenter::defaultCenter();

    TQProgressManager* progress = TQProgressManager::progressManager();
    connect(progress, &TQProgressManager::topSessionChanged, this,
            &TQMainWindowController::topSessionDidChange);
    topSessionDidChange(progress->topSession());
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
        m_initializeController = ViewClasses::make<TQViewController>(kInitializeClass);
        if (!m_initializeController)
            m_initializeController =
                new TQStandInViewController(QString(), TQStandInViewController::Kind::FirstSynchronisation);
    }
    m_navigationController->installControllerFromBottom(m_initializeController);
    switch (state) {
    case TQSession::kConnectionLost:
        invokeIfAnswers(m_initializeController, "presentOffline");
        break;
    case TQSession::kFirstSyncFailed:
        invokeIfAnswers(m_initializeController, "presentError");
        break;
    case TQSession::kFirstSyncRunning:
        invokeIfAnswers(m_initializeController, "presentSyncing");
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
        invokeIfAnswers(top, "presentSyncing");
        break;
    case TQSession::kFirstSyncFailed:
        invokeIfAnswers(top, "presentError");
        break;
    case TQSession::kConnectionLost:
        invokeIfAnswers(top, "presentOffline");
        break;
    case TQSession::kRunning:
        stopObservingSessionState();
        m_navigationController->installControllerFromBottom(allItemsController());
        break;
    default:
        break;
    }
}

TQViewController* TQMainWindowController::existingControllerForMode(int mode) const
{
    return m_modeControllers.value(mode);
}

TQViewController* TQMainWindowController::controllerForMode(int mode)
{
    if (mode < -1 || mode == 0 || mode > 5)
        return nullptr;
    if (TQViewController* made = m_modeControllers.value(mode))
        return made;
    TQViewController* made = makeController(mode);
    if (made)
        m_modeControllers.insert(mode, made);
    return made;
}

namespace {

// The list each document place shows, by its design name: a place's filtering view must wrap a list of
// exactly that class.
QString placeListClass(int mode)
{
    switch (mode) {
    case 1:
        return QStringLiteral("TQAllItemsController");
    case 2:
        return TQMainWindowController::kFavoritesListClass;
    case 4:
        return TQMainWindowController::kCollectionsListClass;
    case 5:
        return QStringLiteral("TQTrashItemsController");
    default:
        return {};
    }
}

bool isExactly(const QObject* object, const QString& className)
{
    if (!object)
        return false;
    const QString name = QString::fromLatin1(object->metaObject()->className());
    return name == className || name.endsWith(QStringLiteral("::") + className);
}

} // namespace

bool TQMainWindowController::showsItsOwnList(int mode, const TQViewController* content)
{
    const auto* filtering = qobject_cast<const TQFilteringViewController*>(content);
    if (!filtering)
        return true;
    const QString listClass = placeListClass(mode);
    return !listClass.isEmpty() && isExactly(filtering->controller(), listClass);
}

TQViewController* TQMainWindowController::makeFilteringController(const QString& titleKey,
                                                                  const QString& innerClass)
{
    // Without its own list a place shows nothing rather than the all-items list under its title.
    if (!ViewClasses::hasClass(innerClass) || !ViewClasses::hasClass(kAllItemsClass))
        return nullptr;
    TQViewController* filtering = ViewClasses::make<TQViewController>(kAllItemsClass);
    if (!filtering)
        return nullptr;
    filtering->setTitle(StringTable::text(titleKey));
    if (QObject* inner = ViewClasses::make(innerClass)) {
        inner->setParent(filtering);
        inner->setProperty("owner", QVariant::fromValue<QObject*>(filtering));
        QMetaObject::invokeMethod(filtering, "setController", Q_ARG(QObject*, inner));
    }
    return filtering;
}

TQViewController* TQMainWindowController::makeController(int mode)
{
    using Kind = TQStandInViewController::Kind;
    struct Place
    {
        int mode;
        const char* titleKey;
        int contentType;
    };
    static const Place kPlaces[] = {
        {-1, "MyInfoBack", TQViewController::ContactsContent},
        {1, "AllItemsBack", TQViewController::DocumentsContent},
        {2, "AllFavoritesBack", TQViewController::DocumentsContent},
        {3, "AllContactsBack", TQViewController::ContactsContent},
        {4, "AllCollectionsBack", TQViewController::DocumentsContent},
        {5, "TrashBack", TQViewController::DocumentsContent},
    };
    const Place* place = nullptr;
    for (const Place& each : kPlaces)
        if (each.mode == mode)
            place = &each;
    if (!place)
        return nullptr;
    TQViewController* made = nullptr;
    switch (mode) {
    case -1: {
        TQSession* session = m_sessionManager->currentSession();
        TQLog("Creating my info for: %@", session ? session->username() : QString());
        if (!session || !m_sidebarController->managedObjectContext())
            return nullptr;
        const auto me = Mail::mailEntityWithAddress(session->username(), false,
                                                    m_sidebarController->managedObjectContext());
        if (!me)
            return nullptr;
        made = ViewClasses::make<TQViewController>(kContactViewClass);
        if (made) {
            QMetaObject::invokeMethod(made, "setEmail",
                                      Q_ARG(QVariant, QVariant::fromValue(ManagedObjectPtr(me))));
            made->setTitle(StringTable::text(QStringLiteral("MyInfoBack")));
        }
        break;
    }
    case 1:
        made = ViewClasses::make<TQViewController>(kAllItemsClass);
        break;
    case 2:
        made = makeFilteringController(QStringLiteral("AllFavoritesBack"), kFavoritesListClass);
        break;
    case 3:
        made = ViewClasses::make<TQViewController>(kContactsClass);
        break;
    case 4:
        made = makeFilteringController(QStringLiteral("AllCollectionsBack"), kCollectionsListClass);
        break;
    case 5:
        made = ViewClasses::make<TQViewController>(kTrashClass);
        break;
    default:
        break;
    }
    // A place shows its own list or the placeholder, never another place's list.
    if (made && !showsItsOwnList(mode, made)) {
        TQLog("E: No list of its own for mode: %d", qint64(mode));
        delete made;
        made = nullptr;
    }
    if (made)
        return made;
    return new TQStandInViewController(QString::fromLatin1(place->titleKey), Kind::Content,
                                       place->contentType);
}

void TQMainWindowController::onSidebarModeChange(const Notification& notification)
{
    const int oldMode = notification.userInfo().value(TQSidebarController::kOldModeKey).toInt();
    const int mode = m_sidebarController->mode();
    if (mode < -1 || mode == 0 || mode > 5) {
        TQLog("E: Unsupported sidebar mode selected");
        return;
    }
    TQViewController* controller = controllerForMode(mode);
    if (!controller) {
        TQLog("E: Could not create controller for mode: %d", qint64(mode));
        return;
    }
    // A mode switch that a drag caused is undone when the drag is cancelled with Escape.
    if (CurrentEvent::isCancel() && m_navigationController->hasStoredState()) {
        m_navigationController->restoreNavigationHistory();
        return;
    }
    if (mode <= oldMode)
        m_navigationController->installControllerFromTop(controller);
    else
        m_navigationController->installControllerFromBottom(controller);
}

void TQMainWindowController::onSidebarModeDidReactivate(const Notification& notification)
{
    TQViewController* top = m_navigationController->topController();
    if (top && top == existingControllerForMode(-1)) {
        m_sidebarController->setMode(
            notification.userInfo().value(TQSidebarController::kActivatedModeKey).toInt());
        onSidebarModeChange(notification);
        return;
    }
    if (top)
        top->reactivate();
}

QString TQMainWindowController::progressIdentifier(const TQProgressSession* session)
{
    return session ? session->name() + QStringLiteral("_%1").arg(quint64(quintptr(session))) : QString();
}

quint64 TQMainWindowController::progressPercentage(quint64 part, quint64 total)
{
    return total == 0 ? 0 : part * 100 / total;
}

QObject* TQMainWindowController::statusBar() const
{
    return ViewClasses::hasClass(kStatusBarClass) ? ViewClasses::make(kStatusBarClass) : nullptr;
}

void TQMainWindowController::topSessionDidChange(TQProgressSession* session)
{
    if (!session || m_progressConnections.contains(session))
        return;
    QObject* bar = statusBar();
    const QString identifier = progressIdentifier(session);
    QPointer<TQProgressSession> watched = session;
    QList<QMetaObject::Connection> connections;
    connections << connect(session, &TQProgressSession::progressChanged, this, [this, watched, identifier] {
        if (!watched)
            return;
        if (watched->isCompleted()) {
            QObject* bar = statusBar();
            QMetaObject::invokeMethod(
                bar, watched->hasProgress() ? "removeProgressWithIdentifier" : "removeStatusWithIdentifier",
                Q_ARG(QString, identifier));
            stopObservingProgressSession(watched);
            return;
        }
        QMetaObject::invokeMethod(
            statusBar(), "setProgressValue",
            Q_ARG(double, double(progressPercentage(watched->progressPart(), watched->progressTotal()))),
            Q_ARG(QString, identifier));
    });
    connections << connect(session, &TQProgressSession::humanReadableNameChanged, this,
                           [this, identifier](const QString& name) {
                               QMetaObject::invokeMethod(statusBar(), "setMessage", Q_ARG(QString, name),
                                                         Q_ARG(QString, identifier));
                           });
    connections << connect(session, &QObject::destroyed, this,
                           [this, session, identifier, hasProgress = session->hasProgress()] {
                               // A session that goes away has completed.
                               QMetaObject::invokeMethod(statusBar(),
                                                         hasProgress ? "removeProgressWithIdentifier"
                                                                     : "removeStatusWithIdentifier",
                                                         Q_ARG(QString, identifier));
                               m_progressConnections.remove(session);
                           });
    m_progressConnections.insert(session, connections);
    if (!bar)
        return;
    if (!session->isStatic())
        QMetaObject::invokeMethod(bar, "setIndicateActivity", Q_ARG(bool, true));
    QMetaObject::invokeMethod(bar, session->hasProgress() ? "showProgress" : "showStatus",
                              Q_ARG(QString, session->humanReadableName()), Q_ARG(QString, identifier));
}

void TQMainWindowController::stopObservingProgressSession(TQProgressSession* session)
{
    for (const auto& connection : m_progressConnections.take(session))
        disconnect(connection);
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
    m_sidebarController->activateMode(-1);
}
void TQMainWindowController::activateAllItems(QObject*)
{
    m_sidebarController->activateMode(1);
}
void TQMainWindowController::activateFavorites(QObject*)
{
    m_sidebarController->activateMode(2);
}
void TQMainWindowController::activateAllContacts(QObject*)
{
    m_sidebarController->activateMode(3);
}
void TQMainWindowController::activateCollections(QObject*)
{
    m_sidebarController->activateMode(4);
}
void TQMainWindowController::activateTrash(QObject*)
{
    m_sidebarController->activateMode(5);
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
        ViewClasses::hasClass(kSplashClass)) {
        QPointer<QWidget> target = window;
        QTimer::singleShot(0, this, [target] {
            if (QObject* tour = ViewClasses::make(kSplashClass))
                QMetaObject::invokeMethod(tour, "showWindowModalToWindow", Q_ARG(QWidget*, target.data()));
        });
    }
}

} // namespace tavrel
