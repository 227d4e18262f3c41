// Gallery page of the main window in the states a user meets: signing in, the first synchronisation
// (running and waiting for the connection), a content view, offline, a pushed view, and a banner.

#include "chrome/ChromeClasses.h"
#include "chrome/TQInitializeViewController.h"
#include "platform/ui/GalleryRegistry.h"
#include "platform/ui/StringTable.h"
#include "session/ConnectionStatus.h"
#include "window/IFirstSynchronisationView.h"
#include "window/TQMainWindow.h"
#include "window/TQMainWindowController.h"
#include "window/TQNavigationController.h"
#include "window/TQNotificationController.h"
#include "window/TQSidebar.h"
#include "window/TQSidebarController.h"
#include "window/TQStandInViewController.h"

namespace tavrel {

namespace {

const QSize kWindowSize(920, 580);

// The gallery deletes the windows it shows; their controllers are made for the one run of the program.
TQMainWindowController* makeWindow(bool offline = false)
{
    auto* controller = new TQMainWindowController(TQSessionManager::sharedManager());
    if (offline) {
        auto* status = new ConnectionStatus(std::unique_ptr<Reachability>(), controller);
        controller->sidebarController()->sidebar()->setConnectionStatus(status);
    } else {
        auto* status = new ConnectionStatus(std::unique_ptr<Reachability>(), controller);
        status->setOnline(true);
        controller->sidebarController()->sidebar()->setConnectionStatus(status);
    }
    controller->window()->resize(kWindowSize);
    return controller;
}

IFirstSynchronisationView* firstSynchronisation(TQMainWindowController* controller)
{
    return dynamic_cast<IFirstSynchronisationView*>(controller->navigationController()->topController());
}

QList<GallerySample> mainWindow()
{
    QList<GallerySample> samples;
    // As the program runs it: the chrome's first-synchronisation screen and status bar.
    ChromeClasses::registerClasses();

    TQMainWindowController* signingIn = makeWindow();
    samples.append({QStringLiteral("Signing in"), signingIn->window(), true});

    TQMainWindowController* syncing = makeWindow();
    if (IFirstSynchronisationView* screen = firstSynchronisation(syncing))
        screen->presentSyncing();
    if (auto* screen =
            qobject_cast<TQInitializeViewController*>(syncing->navigationController()->topController()))
        screen->progressStatus(999, 120, 400, 30);
    samples.append({QStringLiteral("First synchronisation"), syncing->window(), true});

    TQMainWindowController* waiting = makeWindow(true);
    if (IFirstSynchronisationView* screen = firstSynchronisation(waiting))
        screen->presentOffline();
    samples.append({QStringLiteral("First synchronisation, connection lost (red frame: offline)"),
                    waiting->window(), true});

    TQMainWindowController* failed = makeWindow();
    if (IFirstSynchronisationView* screen = firstSynchronisation(failed))
        screen->presentError();
    samples.append({QStringLiteral("First synchronisation failed"), failed->window(), true});

    TQMainWindowController* running = makeWindow();
    running->navigationController()->installControllerFromBottom(running->allItemsController());
    samples.append({QStringLiteral("Running: a stand-in content view (all items)"), running->window(), true});

    TQMainWindowController* offline = makeWindow(true);
    offline->navigationController()->installControllerFromBottom(offline->allItemsController());
    offline->sidebarController()->activateMode(TQSidebarController::Starred);
    samples.append({QStringLiteral("Offline, starred items"), offline->window(), true});

    TQMainWindowController* pushed = makeWindow();
    pushed->navigationController()->installControllerFromBottom(pushed->allItemsController());
    pushed->sidebarController()->activateMode(TQSidebarController::Collections);
    pushed->navigationController()->pushController(new TQStandInViewController(
        QStringLiteral("GroupMyCollections"), TQStandInViewController::Kind::Content, 1, pushed));
    samples.append(
        {QStringLiteral("A view pushed: the back button names the view below"), pushed->window(), true});

    // The banner is the program's one banner: it goes into the last window made.
    TQMainWindowController* banner = makeWindow();
    banner->navigationController()->installControllerFromBottom(banner->allItemsController());
    TQNotificationController* notification = TQNotificationController::sharedNotificationController();
    notification->setReferralView(banner->notificationRefferal());
    notification->setMessage(StringTable::text(QStringLiteral("UnexpectedError")),
                             QStringLiteral("moreDetail"), StringTable::text(QStringLiteral("MoreDetail")));
    banner->window()->show();
    notification->showNotification();
    samples.append({QStringLiteral("With a banner and its link"), banner->window(), true});
    return samples;
}

} // namespace

TAVREL_GALLERY_PAGE("main-window", "Main window", mainWindow)

} // namespace tavrel
