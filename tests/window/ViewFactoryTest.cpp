#include "WindowTestSupport.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/StringTable.h"
#include "session/ConnectionStatus.h"
#include "session/TQSession.h"
#include "window/IFirstSynchronisationView.h"
#include "window/IViewFactory.h"
#include "window/TQMainWindowController.h"
#include "window/TQNavigationController.h"
#include "window/TQSidebarController.h"
#include "window/TQStandInViewController.h"
#include "window/TQViewController.h"

#include <QPointer>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

// A first-synchronisation screen that writes down what it was told to present.
class RecordingFirstSynchronisation : public TQViewController, public IFirstSynchronisationView
{
public:
    QStringList presented;
    void presentSyncing() override { presented << QStringLiteral("syncing"); }
    void presentError() override { presented << QStringLiteral("error"); }
    void presentOffline() override { presented << QStringLiteral("offline"); }
};

// The views of a program that has only a trash list, a first-synchronisation screen and a status bar.
class SmallFactory : public IViewFactory
{
public:
    test::RecordingStatusBar bar;
    QList<QPointer<TQViewController>> made;
    QList<SidebarMode> asked;

    TQViewController* makeModeController(SidebarMode mode, const ManagedObjectPtr&) override
    {
        asked << mode;
        if (mode != SidebarMode::Trash)
            return nullptr;
        made << new TQViewController;
        return made.constLast();
    }
    TQViewController* makeInitializeController() override
    {
        auto* screen = new RecordingFirstSynchronisation;
        made << screen;
        return screen;
    }
    bool isFileView(const QObject*) const override { return false; }
    IStatusBar* statusBar() override { return &bar; }
    QObject* bannerDelegate() override { return nullptr; }
    bool isNewGroupAvailable() const override { return false; }
    INewGroupSheet* makeNewGroupSheet() override { return nullptr; }
    bool showNewContactEditor(QWidget*) override { return false; }
    bool hasTour() const override { return false; }
    bool showTour(QWidget*) override { return false; }
    TQFloatingContentController* makeShareWith(const QStringList&) override { return nullptr; }
};

using ViewFactoryTest = test::WindowTest;

TEST_F(ViewFactoryTest, TheWindowShowsTheViewsOfTheFactoryItIsHandedAndStandInsForTheRest)
{
    auto views = std::make_shared<SmallFactory>();
    TQMainWindowController* controller = makeWindow(TQSession::kRunning, views);
    EXPECT_EQ(controller->views(), views.get());

    controller->sidebarController()->activateMode(SidebarMode::Trash);
    ASSERT_EQ(views->made.size(), 1);
    EXPECT_EQ(controller->navigationController()->topController(), views->made.constFirst());
    // Made once, kept for the window's life.
    controller->sidebarController()->activateMode(SidebarMode::AllItems);
    controller->sidebarController()->activateMode(SidebarMode::Trash);
    EXPECT_EQ(views->made.size(), 1);
    EXPECT_EQ(controller->trashController(), views->made.constFirst());
    // A mode the factory has nothing for shows a stand-in.
    EXPECT_TRUE(qobject_cast<TQStandInViewController*>(controller->allItemsController()));
    EXPECT_EQ(views->asked.count(SidebarMode::AllItems), 1);

    // The window's status bar is the factory's.
    NotificationCenter::defaultCenter().post(ConnectionStatus::kCordelConnectionStatusChanged,
                                             QVariant(qint64(1)));
    EXPECT_EQ(views->bar.calls.constLast(),
              QStringLiteral("status %1 connectionStatus")
                  .arg(StringTable::text(QStringLiteral("ServiceUnreachable"))));
    m_controller.reset();
    // The window owned what it made.
    EXPECT_TRUE(views->made.constFirst().isNull());
}

TEST_F(ViewFactoryTest, TheFirstSynchronisationScreenOfTheFactoryIsToldEachStateOfTheSession)
{
    auto views = std::make_shared<SmallFactory>();
    TQMainWindowController* controller = makeWindow(TQSession::kConnectionLost, views);
    auto* screen =
        dynamic_cast<RecordingFirstSynchronisation*>(controller->navigationController()->topController());
    ASSERT_NE(screen, nullptr);
    m_account.session->setState(TQSession::kFirstSyncRunning);
    m_account.session->setState(TQSession::kFirstSyncFailed);
    EXPECT_EQ(screen->presented,
              (QStringList{QStringLiteral("offline"), QStringLiteral("syncing"), QStringLiteral("error")}));
    // Once the store is filled the documents replace it (here the factory's stand-in).
    m_account.session->setState(TQSession::kRunning);
    EXPECT_EQ(controller->navigationController()->topController(), controller->allItemsController());
}

} // namespace
} // namespace tavrel
