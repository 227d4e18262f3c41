#include "app/RealMainWindowController.h"

#include "app/CordelAppDelegate.h"
#include "app/TQPreferencesWindowController.h"
#include "app/TQShowMoreDetailAction.h"
#include "app/TQSplashWindowController.h"
#include "chrome/ChromeClasses.h"
#include "chrome/IUIAction.h"
#include "chrome/TQActionProcessor.h"
#include "chrome/TQOpenPrefAction.h"
#include "contacts/ContactsClasses.h"
#include "documents/DocumentsClasses.h"
#include "model/TQMOCMaster.h"
#include "platform/store/FetchRequest.h"
#include "platform/store/Predicate.h"
#include "platform/system/TQLog.h"
#include "session/TQSessionManager.h"
#include "sharing/SharingClasses.h"
#include "window/TQMainWindowCommands.h"
#include "window/TQMainWindowController.h"
#include "window/TQNotificationController.h"
#include "window/ViewClasses.h"
#include "window/ViewClassesFactory.h"

#include <QDropEvent>
#include <QMenu>

namespace tavrel {

namespace {

// The banner's "moreDetail" link, run through the banner's action registry.
class MoreDetailAction : public IUIAction
{
public:
    explicit MoreDetailAction(std::shared_ptr<TQShowMoreDetailAction> action) : m_action(std::move(action)) {}
    QString name() const override { return m_action->name(); }
    void execute() override { m_action->execute(); }

private:
    std::shared_ptr<TQShowMoreDetailAction> m_action;
};

// Counted by the store, so a large account is not loaded for a log line.
qint64 documentCount(TQMOCMaster* master)
{
    FetchRequest request(QStringLiteral("File"));
    request.setPredicate(Predicate::format(QStringLiteral("isTrashed == %@"), false));
    return master->countForFetchRequest(request);
}

} // namespace

RealMainWindowController::RealMainWindowController(TQSessionManager* sessionManager)
{
    registerViewClasses();
    // The window makes the views the `*Classes` files registered above.
    m_controller =
        new TQMainWindowController(sessionManager ? sessionManager : TQSessionManager::sharedManager(),
                                   std::make_shared<ViewClassesFactory>());
    QWidget* main = m_controller->window();
    main->setAcceptDrops(true);
    main->installEventFilter(this);
    if (QMenu* menu = m_controller->mainMenu()) {
        auto* application = new QMenu(menu);
        hostApplicationMenu(application);
        menu->addSeparator();
        menu->addMenu(application);
    }

    m_count.setSingleShot(true);
    m_count.setInterval(0);
    connect(&m_count, &QTimer::timeout, this, &RealMainWindowController::logDocuments);
    TQSessionManager* sessions = m_controller->sessionManager();
    connect(sessions, &TQSessionManager::currentSessionChanged, this,
            &RealMainWindowController::followSession);
    followSession(sessions->currentSession());
}

RealMainWindowController::~RealMainWindowController()
{
    for (const QMetaObject::Connection& connection : std::as_const(m_connections))
        QObject::disconnect(connection);
    delete m_controller;
}

MainWindowFactory RealMainWindowController::factory()
{
    return [] { return std::make_unique<RealMainWindowController>(); };
}

void RealMainWindowController::registerViewClasses()
{
    // The first-synchronisation screen, the status bar, the banner's actions and the new-group sheet.
    ChromeClasses::registerClasses();
    // The document views: the all-items list in its filtering view.
    DocumentsClasses::registerClasses();
    // The contact views: the contacts root view, a contact's page and the contact editor.
    ContactsClasses::registerClasses();
    // The sharing dialogs and the quick popovers the rows open.
    SharingClasses::registerClasses();
    // The banner's preferences link opens the program's preferences window, which the chrome cannot see.
    TQOpenPrefAction::setPreferencesOpener([](QObject* sender) {
        TQPreferencesWindowController::sharedPreferencesController()->showWindow(sender);
    });
    // The tour deletes itself when its sheet ends.
    if (!ViewClasses::hasClass(TQMainWindowController::kSplashClass))
        ViewClasses::registerClass<TQSplashWindowController>(TQMainWindowController::kSplashClass);
}

QObject* RealMainWindowController::controllerObject()
{
    return m_controller;
}

QWidget* RealMainWindowController::window() const
{
    return m_controller->window();
}

void RealMainWindowController::toggleWindowVisibility(QObject* sender)
{
    m_controller->toggleWindowVisibility(sender);
}

void RealMainWindowController::showWindow(QObject* sender)
{
    QWidget* main = window();
    if (!main->isVisible() || !main->isActiveWindow()) {
        m_controller->toggleWindowVisibility(sender);
        return;
    }
    main->raise();
}

void RealMainWindowController::performService(LaunchCommand::Verb verb, const QStringList& files)
{
    switch (verb) {
    case LaunchCommand::Verb::UploadAndShare:
        m_controller->commands()->uploadAndShare(files);
        break;
    case LaunchCommand::Verb::GetLink:
        m_controller->commands()->linkToShare(files);
        break;
    default:
        m_controller->commands()->uploadFiles(files);
        break;
    }
}

void RealMainWindowController::hostApplicationMenu(QMenu* menu)
{
    CordelAppDelegate::fillApplicationMenu(menu);
}

void RealMainWindowController::hostStatusMenu(QMenu* menu)
{
    if (QMenu* main = m_controller->mainMenu(); main && menu)
        main->addMenu(menu);
}

void RealMainWindowController::registerBannerAction(const std::shared_ptr<TQShowMoreDetailAction>& action)
{
    if (action)
        TQActionProcessor::sharedActionProcessor()->pushAction(std::make_shared<MoreDetailAction>(action));
}

void RealMainWindowController::showBanner(const QString& message, const QString& actionName,
                                          const QString& actionTitle)
{
    TQNotificationController* banner = TQNotificationController::sharedNotificationController();
    banner->setMessage(message, actionName, actionTitle);
    banner->showNotification();
}

bool RealMainWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window()) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (m_session && m_controller->commands()->acceptorValidateDraggingInfo(window(), drag)) {
                drag->acceptProposedAction();
                return true;
            }
            break;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (m_session && m_controller->commands()->acceptorProcessDraggingInfo(window(), drop)) {
                drop->acceptProposedAction();
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void RealMainWindowController::followSession(TQSession* session)
{
    for (const QMetaObject::Connection& connection : std::as_const(m_connections))
        QObject::disconnect(connection);
    m_connections.clear();
    m_session = session;
    if (session) {
        m_connections.append(
            connect(session, &TQSession::stateChanged, &m_count, [this] { m_count.start(); }));
        if (TQMOCMaster* master = session->mocManager() ? session->mocManager()->masterMOC() : nullptr)
            m_connections.append(connect(master, &ManagedObjectContext::objectsDidChange, &m_count,
                                         [this] { m_count.start(); }));
    }
    m_count.start();
}

void RealMainWindowController::logDocuments()
{
    if (!m_session || m_session->state() != TQSession::kRunning)
        return;
    TQMOCMaster* master = m_session->mocManager() ? m_session->mocManager()->masterMOC() : nullptr;
    if (!master)
        return;
    const qint64 count = documentCount(master);
    if (count != m_loggedCount) {
        m_loggedCount = count;
        TQLog("MainWindow: %@ with %@ documents", m_session->username(), QString::number(count));
    }
}

} // namespace tavrel
