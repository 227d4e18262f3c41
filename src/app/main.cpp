#include "app/ApplicationResources.h"
#include "app/CordelAppDelegate.h"
#include "app/CordelApplication.h"
#include "app/DirectSignIn.h"
#include "app/InstanceChannel.h"
#include "app/InstanceLock.h"
#include "app/LaunchCommand.h"
#include "app/RealMainWindowController.h"
#include "app/Relaunch.h"
#include "app/TQDefaultPrefViewController.h"
#include "model/TQPreferencesManager.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/OAuth2SignIn.h"
#include "platform/system/TQLog.h"
#include "platform/system/TQLogger.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/UiPlatform.h"
#include "session/TQSessionManager.h"
#include "window/ControlServicesFeed.h"

#include <QDir>
#include <QSocketNotifier>
#include <QTextStream>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalSockets[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalSockets[0], &byte, 1);
}

bool wantsHelp(const QStringList& arguments)
{
    return arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"));
}

} // namespace

int main(int argc, char** argv)
{
    using namespace tavrel;
    CordelApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tavrel"));
    QCoreApplication::setOrganizationName(QStringLiteral("Tavrel"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tavrel"));
    QGuiApplication::setQuitOnLastWindowClosed(false);
    TQLogger::installMessageHandler();

    QTextStream err(stderr);
    const QStringList arguments = QCoreApplication::arguments();
    if (wantsHelp(arguments)) {
        QTextStream(stdout) << LaunchCommand::usage();
        return 0;
    }
    QString problem;
    const std::optional<LaunchCommand> command =
        LaunchCommand::fromArguments(arguments, QDir::currentPath(), &problem);
    if (!command) {
        err << "tavrel: " << problem << "\n\n" << LaunchCommand::usage();
        return 2;
    }
    GDataEndpoints::configureFromArguments(arguments);

    // One Tavrel per user: a later start hands its command to the running one and ends.
    if (InstanceChannel::sendToRunningInstance(*command))
        return 0;
    if (command->verb() == LaunchCommand::Verb::Quit) {
        err << "tavrel: Tavrel is not running\n";
        return 0;
    }
    InstanceChannel channel;
    if (!channel.listen(&problem)) {
        // Another start won the race meanwhile: hand the command to it.
        if (InstanceChannel::sendToRunningInstance(*command))
            return 0;
        err << "tavrel: " << problem << "\n";
        return 1;
    }
    // The channel is free while a restarted instance is still saving: its store is not ours before it
    // has gone.
    InstanceLock running;
    if (!running.lock(InstanceLock::kWaitTimeoutMs, &problem)) {
        err << "tavrel: " << problem << "\n";
        return 1;
    }

    if (TQPreferencesManager::sharedManager()->applicationLaunchPolicy() == 0)
        app.setActivationPolicy(CordelApplication::Regular);
    else
        app.setActivationPolicy(CordelApplication::Accessory);
    UiPlatform::initialize();
    ControlServicesFeed::install();
    ApplicationResources::initialize();
    QGuiApplication::setWindowIcon(ImageRegistry::icon(QStringLiteral("tavrel")));
    if (arguments.contains(LaunchCommand::kSignInWithoutBrowserOption))
        OAuth2SignIn::setDefaultBrowserOpener(DirectSignIn::browserOpener());

    CordelAppDelegate delegate(RealMainWindowController::factory());
    delegate.setActivationPolicy(app.activationPolicy());
    TQDefaultPrefViewController::setRelauncher([&channel, &delegate, arguments] {
        Relaunch::relaunch(channel, delegate, QCoreApplication::applicationFilePath(), arguments);
    });
    QObject::connect(&channel, &InstanceChannel::commandReceived, &delegate,
                     &CordelAppDelegate::handleCommand);
    // Everything is saved: the loop ends whatever windows are open. (quit() asks every window to close
    // first, and the main window, which only hides, makes it give up while another window is shown.)
    QObject::connect(
        &delegate, &CordelAppDelegate::readyToQuit, &app, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);

    // SIGTERM and SIGINT quit as the quit command does: the store is saved first.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalSockets) == 0) {
        auto* notifier = new QSocketNotifier(g_signalSockets[1], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &delegate, [&delegate] {
            char byte = 0;
            [[maybe_unused]] const ssize_t read = ::read(g_signalSockets[1], &byte, 1);
            TQLog("Quit: asked by a signal");
            delegate.terminate(nullptr);
        });
        struct sigaction action = {};
        action.sa_handler = onTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &action, nullptr);
        sigaction(SIGINT, &action, nullptr);
    }

    // This start's own files wait for the main window, which comes with the session.
    if (command->verb() != LaunchCommand::Verb::Activate) {
        auto pending = std::make_shared<QMetaObject::Connection>();
        *pending = QObject::connect(&delegate, &CordelAppDelegate::mainControllerChanged, &delegate,
                                    [pending, &delegate, command = *command] {
                                        QObject::disconnect(*pending);
                                        delegate.handleCommand(command);
                                    });
    }
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, [&delegate, &channel] {
        delegate.applicationWillTerminate();
        channel.close();
    });
    delegate.applicationDidFinishLaunching();
    const int status = app.exec();
    // The store is saved: a signal while the sessions stop ends the process at once.
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    // Sessions stop before the objects they use go: their queues wait for running operations.
    TQSessionManager::sharedManager()->resetForTesting();
    TQLog("Quit: done");
    return status;
}
