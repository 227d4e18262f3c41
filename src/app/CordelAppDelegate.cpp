#include "app/CordelAppDelegate.h"

#include "accounts/TQAccountManager.h"
#include "actions/FastCoreDataUpdateOperation.h"
#include "app/ApplicationInfo.h"
#include "app/CordelApplication.h"
#include "app/CrashReporter.h"
#include "app/TQAboutController.h"
#include "app/TQMainStatusItemController.h"
#include "app/TQPreferencesWindowController.h"
#include "app/TQShowMoreDetailAction.h"
#include "app/UpdateChecker.h"
#include "chrome/IUIAction.h"
#include "chrome/TQActionProcessor.h"
#include "model/File.h"
#include "model/ResourceIds.h"
#include "model/TQMOCMaster.h"
#include "model/TQPlaces.h"
#include "model/TQPreferencesManager.h"
#include "model/TQUtility.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/runtime/Invocation.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/store/ExternalRecord.h"
#include "platform/system/Paths.h"
#include "platform/system/Settings.h"
#include "platform/system/TQLog.h"
#include "platform/ui/CommandValidation.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "progress/TQProgressManager.h"
#include "session/ApplicationServices.h"
#include "session/TQSessionManager.h"
#include "window/StandardKeys.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>
#include <QWidget>

namespace tavrel {

namespace {

QPointer<CordelAppDelegate> g_sharedDelegate;

CordelAppDelegate::URLOpener& urlOpener()
{
    static CordelAppDelegate::URLOpener opener = [](const QUrl& url) {
        return QDesktopServices::openUrl(url);
    };
    return opener;
}

// The banner's link when the service refused the account: signing out asks for a new sign-in. Run
// after the click's event, as signing out takes the window (and the banner) down.
class SignInAgainAction : public IUIAction
{
public:
    static inline const QString kName = QStringLiteral("signInAgain");
    QString name() const override { return kName; }
    void execute() override
    {
        QTimer::singleShot(0, CordelAppDelegate::sharedDelegate(), [] {
            if (CordelAppDelegate* delegate = CordelAppDelegate::sharedDelegate())
                delegate->toggleSession(nullptr);
        });
    }
};

} // namespace

CordelAppDelegate::CordelAppDelegate(MainWindowFactory factory, QObject* parent)
    : QObject(parent), m_factory(std::move(factory))
{
    g_sharedDelegate = this;
    ResponderChain::setApplicationDelegate(this);
    // Posted on the synchronisation's thread (this observer goes with this object); shown on this one.
    NotificationCenter::defaultCenter().addObserver(
        this, FastCoreDataUpdateOperation::kSaveFailedNotification, QVariant(),
        [this](const Notification& notification) {
            const Error error =
                notification.userInfo().value(FastCoreDataUpdateOperation::kErrorKey).value<Error>();
            QMetaObject::invokeMethod(
                this,
                [this, error] {
                    reportProblem(StringTable::format(QStringLiteral("SynchronisationSaveFailed"),
                                                      error.localizedFailureReason()));
                },
                Qt::QueuedConnection);
        });
}

CordelAppDelegate::~CordelAppDelegate()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    if (ResponderChain::applicationDelegate() == this)
        ResponderChain::setApplicationDelegate(nullptr);
    QObject::disconnect(m_stateConnection);
    QObject::disconnect(m_signInConnection);
    if (auto* statusItem = TQMainStatusItemController::existingController())
        statusItem->setMenuItemDelegate(nullptr);
    m_mainController.reset();
}

CordelAppDelegate* CordelAppDelegate::sharedDelegate()
{
    return g_sharedDelegate;
}

void CordelAppDelegate::setURLOpener(URLOpener opener)
{
    urlOpener() = opener ? std::move(opener) : [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

bool CordelAppDelegate::openURL(const QUrl& url)
{
    return urlOpener()(url);
}

void CordelAppDelegate::applicationDidFinishLaunching()
{
    // The registered defaults come from the resource the settings read beneath the user's own values.
    const QString supportFolder = TQPlaces::tavrelApplicationSupportDirectory();
    if (QFileInfo::exists(supportFolder)) {
        if (Settings::boolValue(kResetOnStartKey))
            TQUtility::resetTavrelDirectory();
    } else {
        TQPreferencesManager::sharedManager()->setTransientValue(QStringLiteral("1"),
                                                                 TQPreferencesManager::kTQFirstLaunchKey);
    }
    // Read as defaults from here on; the file itself is left as it is, its values kept for when it can
    // be read again.
    if (const QString problem = Settings::fileProblem(); !problem.isEmpty())
        reportProblem(
            StringTable::format(QStringLiteral("SettingsUnreadable"), Paths::settingsFile(), problem));
    TQAccountManager::registerManager();
    CrashReporter* reporter = CrashReporter::sharedManager();
    reporter->configureWithIdentifier(ApplicationInfo::crashReporterIdentifier(), kCompanyName, this);
    reporter->startManager();
}

void CordelAppDelegate::showMainApplicationWindow()
{
    ApplicationServices::instance()->mainApplicationWindowWillShow();
    TQSessionManager* sessions = TQSessionManager::sharedManager();
    connect(sessions, &TQSessionManager::currentSessionChanged, this,
            &CordelAppDelegate::currentSessionDidChange, Qt::UniqueConnection);
    observeSession(sessions->currentSession());

    const std::shared_ptr<WXAccount> account = TQAccountManager::defaultAccount();
    if (!account) {
        requestNewAccount();
        return;
    }
    QPointer<CordelAppDelegate> self = this;
    sessions->startSessionForAccount(account, [self](TQSession* session, const Error& error) {
        if (!self)
            return;
        self->reportStoreProblem(session, error);
        self->startApplication();
    });
}

void CordelAppDelegate::requestNewAccount()
{
    QPointer<CordelAppDelegate> self = this;
    TQAccountManager::addAccountWithCompletionBlock(
        [self](std::shared_ptr<WXAccount> account, const Error& error) {
            if (!self)
                return;
            if (error) {
                TQLog("E: Failed to add account: %@", error.description());
                return;
            }
            TQSessionManager::sharedManager()->startSessionForAccount(
                account, [self](TQSession* session, const Error& startError) {
                    if (!self)
                        return;
                    if (startError)
                        TQLog("E: Error start session: %@", startError.description());
                    self->reportStoreProblem(session, startError);
                    if (!startError || startError.code() == TQSessionManager::kStoreUnavailableErrorCode)
                        self->startApplication();
                });
        });
}

void CordelAppDelegate::startApplication()
{
    const bool launching = !m_statusItemIsSetUp;
    if (!m_statusItemIsSetUp) {
        m_statusItemIsSetUp = true;
        // Meant for window layouts of an older desktop; nothing here reads it.
        Settings::setValue(kScrollElasticityKey, false);
        TQMainStatusItemController* statusItem = TQMainStatusItemController::sharedStatusItemController();
        statusItem->setConnectionStatus(connectionStatus());
        statusItem->setupMenubarIcon();
    }
    // "In the tray only": the program launches in its tray item, and only where the desktop shows one.
    const TQMainStatusItemController* statusItem = TQMainStatusItemController::existingController();
    const bool trayOnly = launching && m_activationPolicy == CordelApplication::Accessory && statusItem &&
                          statusItem->trayIcon();
    if (IMainWindowController* controller = mainController(); controller && !trayOnly)
        controller->toggleWindowVisibility(this);
    if (trayOnly)
        TQLog("Start: in the tray only");
    registerServices();
    showPendingProblems();
    releaseHeldCommands();
}

void CordelAppDelegate::reportStoreProblem(TQSession* session, const Error& error)
{
    if (error.domain() == TQSessionManager::kTQSessionManagerDomain &&
        error.code() == TQSessionManager::kStoreUnavailableErrorCode)
        reportProblem(StringTable::format(QStringLiteral("StoreUnreadable"), error.localizedFailureReason()));
    const TQMOCManager* store = session ? session->mocManager() : nullptr;
    if (store && !store->movedAsideStorePath().isEmpty())
        reportProblem(StringTable::format(QStringLiteral("StoreMovedAside"), store->movedAsideStorePath()));
}

void CordelAppDelegate::reportProblem(const QString& message)
{
    TQLog("E: %@", message);
    m_pendingProblems.append(message);
    if (m_mainController)
        showPendingProblems();
}

void CordelAppDelegate::showPendingProblems()
{
    if (m_pendingProblems.isEmpty())
        return;
    if (IMainWindowController* controller = mainController())
        controller->showBanner(std::exchange(m_pendingProblems, {}).join(QLatin1Char('\n')), QString(),
                               QString());
}

void CordelAppDelegate::releaseHeldCommands()
{
    if (!m_mainController || !hasAuthentication(TQSessionManager::sharedManager()->currentSession()))
        return;
    for (const LaunchCommand& command : std::exchange(m_heldCommands, {}))
        handleCommand(command);
}

void CordelAppDelegate::registerServices()
{
    // The file managers' services (upload, upload and share, get link) reach the running program as
    // verbs over the instance channel, which hands them to the main window's controller.
    TQLog("Services: provided by the main window");
}

IMainWindowController* CordelAppDelegate::mainController()
{
    if (!m_mainController && m_factory) {
        m_mainController = m_factory();
        if (m_mainController) {
            if (auto* statusItem = TQMainStatusItemController::existingController()) {
                statusItem->setMenuItemDelegate(m_mainController->controllerObject());
                statusItem->hostMenuIn(m_mainController.get());
            }
            emit mainControllerChanged();
        }
    }
    return m_mainController.get();
}

ConnectionStatus* CordelAppDelegate::connectionStatus() const
{
    return ApplicationServices::instance()->connectionStatus();
}

void CordelAppDelegate::currentSessionDidChange(TQSession* session)
{
    // The session manager drops a stopped session before this object hears of its state.
    if (m_observedSession && m_observedSession != session)
        sessionStateDidChange(m_observedSession);
    observeSession(session);
    if (!session) {
        sessionWillFinish();
        if (!m_terminating)
            requestNewAccount();
    }
}

void CordelAppDelegate::observeSession(TQSession* session)
{
    if (m_observedSession == session)
        return;
    QObject::disconnect(m_stateConnection);
    QObject::disconnect(m_signInConnection);
    m_observedSession = session;
    if (session) {
        QPointer<TQSession> observed = session;
        m_stateConnection = connect(session, &TQSession::stateChanged, this, [this, observed] {
            if (observed)
                sessionStateDidChange(observed);
        });
        m_signInConnection = connect(session, &TQSession::needsSignInChanged, this, [this](bool needed) {
            if (needed)
                showSignInBanner();
        });
    }
}

void CordelAppDelegate::sessionStateDidChange(TQSession* session)
{
    if (session->state() != TQSession::kStopped)
        return;
    // A user who logs out is forgotten and asked to sign in next time.
    const std::shared_ptr<WXAccount> account = session->account();
    if (account && TQAccountManager::accounts().contains(account))
        TQAccountManager::removeAccount(account);
}

void CordelAppDelegate::sessionWillFinish()
{
    if (auto* statusItem = TQMainStatusItemController::existingController()) {
        statusItem->setMenuItemDelegate(nullptr);
        statusItem->hostMenuIn(nullptr);
    }
    if (m_mainController) {
        releaseMainControllerLater(std::move(m_mainController));
        emit mainControllerChanged();
    }
    TQPreferencesManager::sharedManager()->setTransientValue(QStringLiteral("1"),
                                                             TQPreferencesManager::kTQFirstLaunchKey);
}

void CordelAppDelegate::releaseMainControllerLater(std::unique_ptr<IMainWindowController> controller)
{
    // A sign-out chosen from the window's own menu ends the session while that menu still delivers
    // the click: the window hides now and goes once the event is over.
    if (QWidget* window = controller->window())
        window->hide();
    auto* carrier = new QObject(this);
    connect(carrier, &QObject::destroyed, [released = controller.release()] { delete released; });
    carrier->deleteLater();
}

void CordelAppDelegate::applicationWillTerminate()
{
    if (m_saved)
        return;
    m_saved = true;
    if (TQSession* session = TQSessionManager::sharedManager()->currentSession()) {
        if (TQMOCManager* manager = session->mocManager()) {
            manager->save();
            TQLog("Quit: the store of %@ is saved", session->username());
        }
    }
    CrashReporter::sharedManager()->applicationWillTerminate();
    // Sessions stop as the program ends: that is no log-out, and no sign-in follows.
    disconnect(TQSessionManager::sharedManager(), nullptr, this, nullptr);
    QObject::disconnect(m_stateConnection);
    m_observedSession = nullptr;
}

void CordelAppDelegate::applicationDidBecomeActive()
{
    if (m_mainController && (!m_mainController->window() || !m_mainController->window()->isVisible()))
        toggleMainWindow(nullptr);
}

bool CordelAppDelegate::hasAuthentication(const TQSession* session)
{
    return session && session->authentication() != nullptr;
}

void CordelAppDelegate::toggleMainWindow(QObject*)
{
    if (hasAuthentication(TQSessionManager::sharedManager()->currentSession())) {
        if (IMainWindowController* controller = mainController())
            controller->toggleWindowVisibility(this);
        return;
    }
    if (QWidget* window = QApplication::activeWindow())
        window->activateWindow();
}

void CordelAppDelegate::toggleSession(QObject*)
{
    if (TQSession* session = TQSessionManager::sharedManager()->currentSession())
        session->logout();
    else
        requestNewAccount();
}

void CordelAppDelegate::showMainWindow(QObject* sender)
{
    if (IMainWindowController* controller = mainController())
        controller->showWindow(sender);
}

void CordelAppDelegate::showPreferences(QObject* sender)
{
    TQPreferencesWindowController::sharedPreferencesController()->showWindow(sender);
}

void CordelAppDelegate::showAbout(QObject*)
{
    TQAboutController::aboutController()->showWindow(this);
}

void CordelAppDelegate::checkForUpdates(QObject* sender)
{
    UpdateChecker::sharedUpdater()->checkForUpdates(sender);
}

void CordelAppDelegate::feedback(QObject*)
{
    openURL(ApplicationInfo::feedbackURL());
}

void CordelAppDelegate::processActionError(QObject* sender)
{
    if (!sender)
        return;
    const QVariant value = sender->property("error");
    if (value.canConvert<Error>())
        processError(value.value<Error>());
}

void CordelAppDelegate::processError(const Error& error)
{
    if (error.isNull())
        return;
    IMainWindowController* controller = mainController();
    if (!controller)
        return;
    if (TQSession::isSignInRefusal(error)) {
        showSignInBanner();
        return;
    }
    // Every failed action is shown with its cause; the details open from the banner, but for the
    // generic 703, which has none to add.
    const bool ours = error.domain() == VUvodozuManager::kErrorDomain;
    QString actionName;
    QString actionTitle;
    if (!ours || error.code() != VUvodozuManager::kUnexpectedErrorCode) {
        auto action = std::make_shared<TQShowMoreDetailAction>();
        action->setError(error);
        actionName = action->name();
        actionTitle = StringTable::text(QStringLiteral("MoreDetail"));
        controller->registerBannerAction(action);
    }
    const QString message =
        ours ? error.localizedDescription()
             : StringTable::format(QStringLiteral("ActionFailedFormat"), error.localizedDescription());
    controller->showBanner(message, actionName, actionTitle);
}

void CordelAppDelegate::showSignInBanner()
{
    IMainWindowController* controller = mainController();
    if (!controller)
        return;
    TQActionProcessor::sharedActionProcessor()->pushAction(std::make_shared<SignInAgainAction>());
    controller->showBanner(StringTable::text(QStringLiteral("SignInAgainNeeded")), SignInAgainAction::kName,
                           StringTable::text(QStringLiteral("SignInAgain")));
}

void CordelAppDelegate::fillApplicationMenu(QMenu* menu)
{
    menu->setTitle(StringTable::text(QStringLiteral("ApplicationName")));
    const auto add = [menu](const QString& key, const QString& command) {
        menu->addAction(UserInterfaceItem::makeAction(StringTable::text(key), command, menu));
    };
    add(QStringLiteral("AboutMenu"), Commands::showAbout);
    add(QStringLiteral("ShowPreferences"), Commands::showPreferences);
    add(QStringLiteral("CheckForUpdates"), Commands::checkForUpdates);
    add(QStringLiteral("Feedback"), Commands::feedback);
    menu->addSeparator();
    add(QStringLiteral("Logout"), Commands::toggleSession);
    add(QStringLiteral("QuitApplication"), Commands::terminate);
    StandardKeys::showKeys(menu);
    CommandValidation::attachToMenu(menu);
}

void CordelAppDelegate::fakeSelector(QObject*) {}

void CordelAppDelegate::newDocument(QObject*) {}

void CordelAppDelegate::hide(QObject*)
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->isWindow())
            window->hide();
}

void CordelAppDelegate::terminate(QObject*)
{
    if (m_terminating)
        return;
    m_terminating = true;
    for (const LaunchCommand& command : std::exchange(m_heldCommands, {}))
        TQLog("E: Quit before a session started: not handled: %@",
              command.files().join(QStringLiteral(", ")));
    applicationWillTerminate();
    emit readyToQuit();
}

bool CordelAppDelegate::validateUserInterfaceItem(QObject* item)
{
    const QString command = UserInterfaceItem::command(item);
    TQSession* session = TQSessionManager::sharedManager()->currentSession();
    if (command == Commands::toggleSession) {
        const QString title = session && session->needsSignIn() ? QStringLiteral("SignInAgain")
                              : hasAuthentication(session)      ? QStringLiteral("Logout")
                                                                : QStringLiteral("Start");
        UserInterfaceItem::setTitle(item, StringTable::text(title));
        return !session || session->state() != TQSession::kFirstSyncRunning;
    }
    if (command == Commands::newDocument)
        return false;
    // What needs nobody signed in.
    static const QStringList kAlwaysEnabled{Commands::terminate,       Commands::showAbout,
                                            Commands::showPreferences, Commands::hide,
                                            Commands::feedback,        Commands::checkForUpdates};
    if (kAlwaysEnabled.contains(command))
        return true;
    if (!hasAuthentication(session))
        return false;
    return ResponderChain::respondsToCommand(this, command);
}

void CordelAppDelegate::openFiles(const QStringList& files)
{
    TQSession* session = TQSessionManager::sharedManager()->currentSession();
    if (files.size() == 1 && ExternalRecord::hasRecordFileExtension(files.first())) {
        if (!session)
            return;
        Error error;
        const std::optional<ExternalRecord> record =
            ExternalRecord::elementsDerivedFromExternalRecordURL(QUrl::fromLocalFile(files.first()), &error);
        if (!record) {
            TQLog("E: Cannot read the record file %@: %@", files.first(), error.description());
            return;
        }
        TQMOCMaster* master = session->mocManager() ? session->mocManager()->masterMOC() : nullptr;
        if (!master)
            return;
        const auto document =
            std::dynamic_pointer_cast<FileEntryAbstract>(record->existingObjectInContext(*master));
        if (!document)
            return;
        if (ResourceIds::isStoredFile(document->resourceId()))
            session->documentManager()->executeAction(
                QStringLiteral("OpenDocument"), nullptr,
                {{QStringLiteral("documentEntity"), QVariant::fromValue<ManagedObjectPtr>(document)}});
        else
            openURL(QUrl(document->alternateLink()));
        return;
    }
    uploadFiles(files);
}

void CordelAppDelegate::uploadFiles(const QStringList& files, LaunchCommand::Verb verb)
{
    TQSession* session = TQSessionManager::sharedManager()->currentSession();
    if (!hasAuthentication(session) || files.isEmpty()) {
        TQLog("E: No user logged to upload files!");
        return;
    }
    // The window's services upload, share and report; without a window the files are uploaded here.
    if (IMainWindowController* controller = mainController()) {
        controller->performService(verb, files);
        return;
    }
    executeUpload(files, nullptr);
}

void CordelAppDelegate::executeUpload(const QStringList& files, QObject* callbackTarget)
{
    TQSession* session = TQSessionManager::sharedManager()->currentSession();
    if (!hasAuthentication(session) || files.isEmpty()) {
        TQLog("E: No user logged to upload files!");
        return;
    }
    QList<QUrl> fileURLs;
    for (const QString& file : files)
        fileURLs.append(QUrl::fromLocalFile(file));
    const QVariantMap parameters{
        {QStringLiteral("fileURLs"), QVariant::fromValue(fileURLs)},
        {TQOperation::kManagedObjectContextKey, session->masterManagedObjectContext()},
        {QStringLiteral("progressID"), kUploadProgressFormat.arg(++m_uploadCount)},
        {QStringLiteral("progressConsumer"),
         QVariant::fromValue<QObject*>(TQProgressManager::progressManager())},
    };
    InvocationPtr callback;
    if (callbackTarget)
        callback = Invocation::invocationForSelector(Selectors::uploadDidFinish, callbackTarget);
    session->documentManager()->executeAction(QStringLiteral("UploadFiles"), callback, parameters);
}

void CordelAppDelegate::handleCommand(const LaunchCommand& command)
{
    // Files handed over while the instance is still signing in or synchronising wait for its session,
    // as the instance's own do: their senders have already been told they were taken.
    const bool needsSession =
        command.verb() != LaunchCommand::Verb::Activate && command.verb() != LaunchCommand::Verb::Quit;
    if (needsSession &&
        (!m_mainController || !hasAuthentication(TQSessionManager::sharedManager()->currentSession()))) {
        TQLog("I: A command waits for the session: %@", command.files().join(QStringLiteral(", ")));
        m_heldCommands.append(command);
        return;
    }
    switch (command.verb()) {
    case LaunchCommand::Verb::Activate:
        if (m_mainController)
            m_mainController->showWindow(this);
        break;
    case LaunchCommand::Verb::Open:
        openFiles(command.files());
        break;
    case LaunchCommand::Verb::Upload:
    case LaunchCommand::Verb::UploadAndShare:
    case LaunchCommand::Verb::GetLink:
        uploadFiles(command.files(), command.verb());
        break;
    case LaunchCommand::Verb::Quit:
        terminate(nullptr);
        break;
    }
}

} // namespace tavrel
