#pragma once

#include "app/IMainWindowController.h"
#include "app/LaunchCommand.h"
#include "platform/runtime/Error.h"
#include "session/ConnectionStatus.h"
#include "session/TQSession.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>

class QMenu;

namespace tavrel {

// The application delegate: registers the defaults, prepares the data folder, starts the crash
// reporter, signs a user in or resumes the default account, brings up the tray item and the main
// window once a session has started, follows the current session, answers the application's commands,
// uploads or opens the files handed to the program, shows action errors in the banner and saves the
// store on quit. It is the application delegate of the responder chain. Main thread only.
class CordelAppDelegate : public QObject
{
    Q_OBJECT
    Q_PROPERTY(tavrel::ConnectionStatus* connectionStatus READ connectionStatus)

public:
    static inline const QString kResetOnStartKey = QStringLiteral("ResetOnStart");
    static inline const QString kScrollElasticityKey = QStringLiteral("10_6");
    static inline const QString kCompanyName = QStringLiteral("Tavrel");
    // The usage events of the application menu.
    static inline const QString kUploadProgressFormat = QStringLiteral("upload_%1");

    using URLOpener = std::function<bool(const QUrl& url)>;

    explicit CordelAppDelegate(MainWindowFactory factory, QObject* parent = nullptr);
    ~CordelAppDelegate() override;

    // The delegate of the running application (the last one made), or nullptr.
    static CordelAppDelegate* sharedDelegate();
    // How addresses open in the browser (tests record them instead).
    static void setURLOpener(URLOpener opener);
    static bool openURL(const QUrl& url);

    // Life cycle.
    void applicationDidFinishLaunching();
    // The crash reporter hands control back here.
    Q_INVOKABLE void showMainApplicationWindow();
    void requestNewAccount();
    void startApplication();
    void registerServices();
    void sessionWillFinish();
    // Saves the current session's store; runs once however often the program is asked to quit.
    void applicationWillTerminate();
    void applicationDidBecomeActive();

    // The main window's controller, made on first access (and made the tray's drop delegate).
    IMainWindowController* mainController();
    IMainWindowController* existingMainController() const { return m_mainController.get(); }
    ConnectionStatus* connectionStatus() const;

    // Commands (the sender is the menu item or control).
    Q_INVOKABLE void toggleMainWindow(QObject* sender);
    Q_INVOKABLE void toggleSession(QObject* sender);
    Q_INVOKABLE void showMainWindow(QObject* sender);
    Q_INVOKABLE void showPreferences(QObject* sender);
    Q_INVOKABLE void showAbout(QObject* sender);
    Q_INVOKABLE void checkForUpdates(QObject* sender);
    Q_INVOKABLE void feedback(QObject* sender);
    // The error travels as the sender (its "error" property).
    Q_INVOKABLE void processActionError(QObject* sender);
    Q_INVOKABLE void fakeSelector(QObject* sender);
    Q_INVOKABLE void newDocument(QObject* sender);
    Q_INVOKABLE void hide(QObject* sender);
    // Quits: the store is saved first; a second request while quitting does nothing more.
    Q_INVOKABLE void terminate(QObject* sender);
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item);
    // The application's menu (about, preferences, updates, feedback, sign in or out, quit), whose
    // commands this object answers.
    static void fillApplicationMenu(QMenu* menu);

    // Shows an action error in the banner with its cause: 703 without a link, any other with the
    // "moreDetail" link; a refused sign-in as the sign-in banner.
    void processError(const Error& error);
    // The banner saying the account needs signing in again, with the link that does it.
    void showSignInBanner();
    // Files opened from a file manager: one record file opens its document, anything else is uploaded.
    void openFiles(const QStringList& files);
    // Hands the files to the main window's service for the verb (upload, upload-and-share, get-link);
    // logged and dropped when nobody is signed in.
    void uploadFiles(const QStringList& files, LaunchCommand::Verb verb = LaunchCommand::Verb::Upload);
    // Uploads the files as one action; the target (when given) hears "uploadDidFinishWithResult:error:".
    void executeUpload(const QStringList& files, QObject* callbackTarget);
    // A command of this start or of a later one, handed over the instance channel. One that needs a
    // session waits until a signed-in session has its main window.
    void handleCommand(const LaunchCommand& command);
    // A problem the user must hear of (an unreadable store or settings file, a failed save): logged,
    // and shown in the main window's banner now or once the window comes.
    void reportProblem(const QString& message);

    bool isTerminating() const { return m_terminating; }

    // How the program shows itself at launch (CordelApplication::ActivationPolicy): with its window
    // (0), or in its tray item only (1), which needs a tray; without one the window shows anyway.
    int activationPolicy() const { return m_activationPolicy; }
    void setActivationPolicy(int policy) { m_activationPolicy = policy; }

signals:
    // The main window controller was made or released (the tray's menu host follows it).
    void mainControllerChanged();
    // Everything is saved: the event loop may end.
    void readyToQuit();

private:
    void currentSessionDidChange(TQSession* session);
    void observeSession(TQSession* session);
    void sessionStateDidChange(TQSession* session);
    static bool hasAuthentication(const TQSession* session);
    void releaseMainControllerLater(std::unique_ptr<IMainWindowController> controller);
    // A store that could not be opened, or that was damaged and set aside, at a session's start.
    void reportStoreProblem(TQSession* session, const Error& error);
    void showPendingProblems();
    void releaseHeldCommands();

    MainWindowFactory m_factory;
    std::unique_ptr<IMainWindowController> m_mainController;
    QPointer<TQSession> m_observedSession;
    QMetaObject::Connection m_stateConnection;
    QMetaObject::Connection m_signInConnection;
    bool m_statusItemIsSetUp = false;
    int m_activationPolicy = 0;
    bool m_terminating = false;
    bool m_saved = false;
    quint64 m_uploadCount = 0;
    QList<LaunchCommand> m_heldCommands;
    QStringList m_pendingProblems;
};

} // namespace tavrel
