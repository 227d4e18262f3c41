#include "WindowTestSupport.h"
#include "chrome/ChromeClasses.h"
#include "chrome/TQInitializeViewController.h"
#include "chrome/TQNewGroupController.h"
#include "chrome/TQStatusBarController.h"
#include "chrome/TQStatusWrapper.h"
#include "platform/ui/UserInterfaceItem.h"
#include "progress/TQProgressManager.h"
#include "progress/TQProgressSession.h"
#include "session/TQSession.h"
#include "support/WaitUntil.h"
#include "window/TQMainWindowCommands.h"
#include "window/TQNavigationController.h"
#include "window/TQSidebarController.h"
#include "window/ViewClasses.h"

#include <QAction>
#include <QMenu>
#include <QUrl>
#include <gtest/gtest.h>
#include <thread>

namespace tavrel {
namespace {

// The main window with the chrome's classes registered, as the program runs it.
class ChromeInWindowTest : public test::WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ChromeClasses::registerClasses();
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        ChromeClasses::unregisterClasses();
    }
    TQInitializeViewController* firstSyncScreen() const
    {
        return qobject_cast<TQInitializeViewController*>(
            m_controller->navigationController()->topController());
    }
};

TEST_F(ChromeInWindowTest, FirstSynchronisationScreenFollowsTheSessionAndItsProgressCodes)
{
    makeWindow(TQSession::kFirstSyncRunning);
    TQInitializeViewController* screen = firstSyncScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->presentedView(), screen->syncingView());

    // The synchronisation reports through the session, from its worker thread.
    struct Row
    {
        int code;
        float processed;
        quint64 total;
        float percentage;
        const char* message;
        double progress;
    };
    const Row rows[] = {
        {666, 0, 0, 2, "Fetching your contacts", 0},
        {777, 0, 0, 7, "Fetching your documents", 0},
        {888, 5, 40, 12.5f, "Processing your contacts", 12.5},
        {999, 30, 60, 50, "Processing your documents", 50},
    };
    for (const Row& row : rows) {
        std::thread worker(
            [&] { m_account.session->progressStatus(row.code, row.processed, row.total, row.percentage); });
        worker.join();
        ASSERT_TRUE(test::waitUntil([&] { return screen->syncMessage() == QString::fromUtf8(row.message); }))
            << row.code;
        EXPECT_DOUBLE_EQ(screen->syncProgress(), row.progress) << row.code;
    }

    const struct
    {
        int state;
        QWidget* presented;
    } states[] = {
        {TQSession::kFirstSyncFailed, screen->errorView()},
        {TQSession::kFirstSyncRunning, screen->syncingView()},
        {TQSession::kConnectionLost, screen->offlineView()},
    };
    for (const auto& step : states) {
        m_account.session->setState(step.state);
        EXPECT_EQ(firstSyncScreen(), screen) << step.state;
        EXPECT_EQ(screen->presentedView(), step.presented) << step.state;
    }
    m_account.session->setState(TQSession::kRunning);
    ASSERT_TRUE(test::waitUntil([&] {
        return m_controller->navigationController()->topController() == m_controller->allItemsController();
    }));
}

TEST_F(ChromeInWindowTest, StatusBarFollowsTheProgressModelUnderTheContent)
{
    makeWindow(TQSession::kRunning);
    TQStatusBarController* bar = TQStatusBarController::sharedStatusBarController();
    TQProgressManager* progress = TQProgressManager::progressManager();
    const QVariantMap arguments{
        {QStringLiteral("actionID"), QStringLiteral("id__1")},
        {QStringLiteral("fileURLs"), QVariantList{QUrl::fromLocalFile("/tmp/a.txt")}}};
    progress->actionWillStart(QStringLiteral("UploadFiles"), arguments);
    ASSERT_TRUE(test::waitUntil([&] { return progress->topSession() != nullptr; }));
    const QString identifier = TQMainWindowController::progressIdentifier(progress->topSession());
    ASSERT_TRUE(test::waitUntil([&] { return bar->currentStatus() != nullptr; }));
    EXPECT_EQ(bar->currentStatus()->identifier(), identifier);

    // It slides in over the bottom of the content area, beside it in the right column.
    ASSERT_TRUE(test::waitUntil([&] { return !bar->view()->isHidden(); }));
    EXPECT_EQ(bar->referringView(), m_controller->rightHost());
    EXPECT_EQ(bar->view()->parentWidget(), m_controller->rightHost()->parentWidget());

    progress->actionDidProgress(QStringLiteral("UploadFiles"), arguments, 3, 8);
    ASSERT_TRUE(test::waitUntil([&] {
        const TQStatusWrapperPtr shown = bar->currentStatus();
        return shown && shown->progress() == 37.0;
    }));
    EXPECT_EQ(bar->currentStatus()->status(), QStringLiteral("Uploading a.txt"));

    progress->actionDidFinish(QStringLiteral("UploadFiles"), arguments);
    ASSERT_TRUE(test::waitUntil([&] { return bar->currentStatus() == nullptr; }));
    ASSERT_TRUE(test::waitUntil([&] { return bar->view()->isHidden(); }));
}

TEST_F(ChromeInWindowTest, CreateGroupCommandIsHidden)
{
    ASSERT_FALSE(TQNewGroupController::isCreateGroupAvailable());
    makeWindow(TQSession::kRunning);
    for (const QAction* action : m_controller->newItemMenu()->actions())
        EXPECT_NE(UserInterfaceItem::command(action), QStringLiteral("newGroup:"));

    // Nor does the contacts list's context enable it through a shortcut or another menu.
    m_controller->sidebarController()->activateMode(SidebarMode::Contacts);
    ASSERT_TRUE(test::waitUntil([&] {
        return m_controller->navigationController()->topController() == m_controller->contactsController();
    }));
    QAction item;
    UserInterfaceItem::setCommand(&item, QStringLiteral("newGroup:"));
    EXPECT_FALSE(m_controller->commands()->validateUserInterfaceItem(&item));
    EXPECT_TRUE(ViewClasses::hasClass(TQMainWindowController::kNewGroupClass));
}

} // namespace
} // namespace tavrel
