#include "WindowTestSupport.h"
#include "model/File.h"
#include "model/Mail.h"
#include "model/TQMOCMaster.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/runtime/Timing.h"
#include "platform/system/Settings.h"
#include "platform/ui/Animations.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "progress/TQProgressManager.h"
#include "session/ApplicationServices.h"
#include "session/ConnectionStatus.h"
#include "support/WaitUntil.h"
#include "support/ui/WidgetTesting.h"
#include "window/StandardKeys.h"
#include "window/TQMainWindow.h"
#include "window/TQMainWindowController.h"
#include "window/TQNavigationController.h"
#include "window/TQSidebar.h"
#include "window/TQSidebarController.h"
#include "window/TQStandInViewController.h"
#include "window/TQTitlebarView.h"
#include "window/ViewClasses.h"

#include <QAbstractButton>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

using test::WindowTest;

QString headlineOfTop(TQMainWindowController* controller)
{
    auto* standIn =
        qobject_cast<TQStandInViewController*>(controller->navigationController()->topController());
    return standIn ? standIn->headline() : QString();
}

TEST_F(WindowTest, FollowsTheSessionUntilItRuns)
{
    struct Step
    {
        int state;
        const char* headlineKey; // of the first-synchronisation screen; null: the documents are shown
    };
    const Step steps[] = {
        {2, "WindowFirstSync"}, {3, "WindowFirstSyncFailed"},
        {2, "WindowFirstSync"}, {4, "WindowFirstSyncOffline"},
        {5, nullptr},
    };
    TQMainWindowController* controller = makeWindow(2);
    EXPECT_TRUE(controller->isObservingSessionState());
    for (const Step& step : steps) {
        SCOPED_TRACE(step.state);
        m_account.session->setState(step.state);
        if (step.headlineKey) {
            EXPECT_EQ(headlineOfTop(controller), StringTable::text(QString::fromLatin1(step.headlineKey)));
        } else {
            EXPECT_EQ(controller->navigationController()->topController(), controller->allItemsController());
            EXPECT_FALSE(controller->isObservingSessionState());
        }
    }
    // No longer followed: a later state changes nothing shown.
    m_account.session->setState(3);
    EXPECT_EQ(controller->navigationController()->topController(), controller->allItemsController());
}

TEST_F(WindowTest, FirstContentByTheStateAtBuildTime)
{
    struct Row
    {
        int state;
        bool documents;
        const char* headlineKey;
    };
    const Row rows[] = {
        {1, true, nullptr},
        {5, true, nullptr},
        {2, false, "WindowFirstSync"},
        {3, false, "WindowFirstSyncFailed"},
        {4, false, "WindowFirstSyncOffline"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.state);
        TQMainWindowController* controller = makeWindow(row.state);
        EXPECT_EQ(controller->isObservingSessionState(), !row.documents);
        if (row.documents) {
            EXPECT_EQ(controller->navigationController()->topController(), controller->allItemsController());
        } else {
            EXPECT_EQ(headlineOfTop(controller), StringTable::text(QString::fromLatin1(row.headlineKey)));
        }
        m_controller.reset();
    }
}

TEST_F(WindowTest, StatesOfOtherSessionsAreIgnored)
{
    TQMainWindowController* controller = makeWindow(2);
    TQSessionManager::sharedManager()->setCurrentSession(nullptr);
    m_account.session->setState(5);
    EXPECT_NE(controller->navigationController()->topController(), controller->allItemsController());
}

// A content controller that counts its second clicks.
class CountingController : public TQViewController
{
    Q_OBJECT
public:
    static inline int reactivations = 0;
    void reactivate() override { ++reactivations; }
};

TEST_F(WindowTest, ModesSlideByDirectionAndASecondClickReactivates)
{
    ViewClasses::registerClass<CountingController>(TQMainWindowController::kTrashClass);
    TQMainWindowController* controller = makeWindow(5);
    TQNavigationController* stack = controller->navigationController();
    stack->view()->resize(600, 400);
    Animations::FactorOverride slow(1.0);
    struct Row
    {
        int mode;
        int startSign; // where the incoming view starts: -1 above, +1 below
    };
    const Row rows[] = {{5, 1}, {2, -1}, {5, 1}, {3, -1}, {4, 1}, {1, -1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mode);
        controller->sidebarController()->activateMode(SidebarMode(row.mode));
        TQViewController* incoming = controller->controllerForMode(SidebarMode(row.mode));
        EXPECT_EQ(stack->currentController(), incoming);
        EXPECT_EQ(incoming->view()->y() > 0 ? 1 : -1, row.startSign);
        ASSERT_TRUE(test::waitUntil([&] { return !stack->isSliding(); }, 5000));
        EXPECT_EQ(incoming->view()->pos(), QPoint(0, 0));
    }
    controller->sidebarController()->activateMode(SidebarMode::Trash);
    ASSERT_TRUE(test::waitUntil([&] { return !stack->isSliding(); }, 5000));
    CountingController::reactivations = 0;
    controller->sidebarController()->activateMode(SidebarMode::Trash);
    EXPECT_EQ(CountingController::reactivations, 1);
    EXPECT_FALSE(stack->isSliding());
    ViewClasses::unregisterClass(TQMainWindowController::kTrashClass);
}

TEST_F(WindowTest, ContactsReplaceThePersonalProfile)
{
    TQMainWindowController* controller = makeWindow(5);
    TQSidebarController* sidebar = controller->sidebarController();
    // Before the user's own record exists the profile cannot be made and nothing changes.
    sidebar->activateMode(SidebarMode::PersonalProfile);
    EXPECT_EQ(controller->navigationController()->topController(), controller->allItemsController());

    Mail::mailEntityWithAddress(m_account.address(), true, m_account.master());
    sidebar->activateMode(SidebarMode::PersonalProfile);
    TQViewController* profile = controller->existingControllerForMode(SidebarMode::PersonalProfile);
    ASSERT_NE(profile, nullptr);
    EXPECT_EQ(controller->navigationController()->topController(), profile);
    EXPECT_EQ(sidebar->mode(), SidebarMode::PersonalProfile);
    // The contacts button shows on with the profile, so clicking it is a second click.
    EXPECT_EQ(sidebar->sidebar()->activeButton(), sidebar->sidebar()->buttons().at(2));
    static_cast<CellButton*>(sidebar->sidebar()->buttons().at(2))->performClick();
    EXPECT_EQ(sidebar->mode(), SidebarMode::Contacts);
    EXPECT_EQ(controller->navigationController()->topController(), controller->contactsController());
    // The title strip names the view shown.
    EXPECT_EQ(controller->mainWindow()->titlebarView()->title(), controller->contactsController()->title());
    EXPECT_FALSE(controller->mainWindow()->titlebarView()->title().isEmpty());
}

TEST_F(WindowTest, EscapeAndLeftGoBackOutsideTextFields)
{
    TQMainWindowController* controller = makeWindow(5);
    TQMainWindow* window = controller->mainWindow();
    ASSERT_TRUE(test::showAndExpose(window));
    TQNavigationController* stack = controller->navigationController();
    auto* detail = new TQStandInViewController(QStringLiteral("TrashBack"),
                                               TQStandInViewController::Kind::Content, 0, controller);
    auto* field = new QLineEdit(detail->view());
    struct Row
    {
        Qt::Key key;
        bool inField;
        int levelAfter;
    };
    const Row rows[] = {
        {Qt::Key_Escape, true, 1},
        {Qt::Key_Escape, false, 0},
        {Qt::Key_Left, false, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key);
        stack->popToRootController();
        stack->pushController(detail);
        ASSERT_EQ(stack->level(), 1);
        QWidget* target = row.inField ? static_cast<QWidget*>(field) : window;
        target->setFocus();
        QTest::keyClick(target, row.key);
        EXPECT_EQ(stack->level(), row.levelAfter);
    }
}

// Answers the window's synchronisation command.
class SyncResponder : public QObject
{
    Q_OBJECT
public:
    int updates = 0;
    Q_INVOKABLE void fastUpdate(QObject*) { ++updates; }
};

TEST_F(WindowTest, CtrlRSynchronisesEvenWhileEditing)
{
    TQMainWindowController* controller = makeWindow(5);
    TQMainWindow* window = controller->mainWindow();
    ASSERT_TRUE(test::showAndExpose(window));
    SyncResponder responder;
    auto* field = new QLineEdit(controller->allItemsController()->view());
    // The responder stands first in the chain, before the window's controller would synchronise.
    ResponderChain::insertResponder(field, &responder);
    field->show();
    field->setFocus();
    QTest::keyClick(field, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(responder.updates, 1);
    EXPECT_EQ(field->text(), QString());
}

TEST_F(WindowTest, TitleStripGeometryAndOfflineFrame)
{
    TQMainWindowController* controller = makeWindow(5);
    TQMainWindow* window = controller->mainWindow();
    ASSERT_TRUE(test::showAndExpose(window));
    window->resize(800, 500);
    ASSERT_TRUE(test::waitUntil([&] { return window->contentView()->height() == 464; }));
    EXPECT_EQ(window->titlebarHeight(), TQMainWindowController::kTitlebarHeight);
    EXPECT_EQ(window->titlebarView()->geometry(), QRect(0, 0, 800, 36));
    EXPECT_EQ(window->contentView()->geometry(), QRect(0, 36, 800, 464));
    window->setTitlebarHeight(10); // below the minimum: the minimum
    EXPECT_EQ(window->titlebarHeight(), TQMainWindow::minimumTitlebarHeight());
    window->setTitlebarHeight(36);

    ApplicationServices::instance()->mainApplicationWindowWillShow(nullptr);
    ConnectionStatus* status = ApplicationServices::instance()->connectionStatus();
    ASSERT_NE(status, nullptr);
    TQSidebar* sidebar = controller->sidebarController()->sidebar();
    status->setOnline(false);
    EXPECT_TRUE(sidebar->drawsOfflineFrame());
    status->setOnline(true);
    EXPECT_FALSE(sidebar->drawsOfflineFrame());
    ApplicationServices::instance()->resetForTesting();
}

TEST_F(WindowTest, TheWindowFitsTheScreenAndKeepsItsFrameBetweenRunsWithinTheScreen)
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    // The default size is larger than this screen, as it is at scale 2 on a laptop.
    ASSERT_TRUE(TQMainWindow::kDefaultSize.width() > available.width() ||
                TQMainWindow::kDefaultSize.height() > available.height());
    const auto keep = [](const QRect& frame) {
        Settings::setValue(TQMainWindow::kFrameKey,
                           QStringList{QString::number(frame.x()), QString::number(frame.y()),
                                       QString::number(frame.width()), QString::number(frame.height())});
    };
    const QRect onScreen(50, 60, 700, 500);
    const struct
    {
        const char* name;
        QRect kept;  // none kept when null
        QSize shown; // the size it shows at
    } rows[] = {
        {"first run", QRect(), TQMainWindow::kDefaultSize.boundedTo(available.size())},
        {"kept on the screen", onScreen, onScreen.size()},
        {"kept on a larger screen that went", QRect(3000, 2000, 1600, 1000),
         QSize(1600, 1000).boundedTo(available.size())},
        {"kept in a damaged setting", QRect(0, 0, -5, 10),
         TQMainWindow::kDefaultSize.boundedTo(available.size())},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.kept.isNull())
            Settings::remove(TQMainWindow::kFrameKey);
        else
            keep(row.kept);
        TQMainWindow window;
        window.setWindowFlag(Qt::FramelessWindowHint); // its geometry is then its frame here
        ASSERT_TRUE(test::showAndExpose(&window));
        EXPECT_TRUE(available.contains(window.geometry()));
        EXPECT_EQ(window.size(), row.shown);
        if (row.kept == onScreen) {
            EXPECT_EQ(window.geometry(), onScreen);
        }
        EXPECT_TRUE(window.minimumSize().width() <= available.width() &&
                    window.minimumSize().height() <= available.height());
    }
    // Where the user leaves it is where the next run opens it.
    {
        Settings::remove(TQMainWindow::kFrameKey);
        TQMainWindow window;
        window.setWindowFlag(Qt::FramelessWindowHint);
        ASSERT_TRUE(test::showAndExpose(&window));
        window.setGeometry(30, 40, 660, 450);
        window.hide();
    }
    TQMainWindow next;
    next.setWindowFlag(Qt::FramelessWindowHint);
    ASSERT_TRUE(test::showAndExpose(&next));
    EXPECT_EQ(next.geometry(), QRect(30, 40, 660, 450));
}

TEST(SwipeTest, EitherDirectionBeyondTheThresholdGoesBack)
{
    struct Row
    {
        QList<float> movements;
        bool natural;
        bool back;
    };
    const Row rows[] = {
        {{0.125f, 0.125f}, false, false}, {{0.175f, 0.175f}, false, true}, {{-0.2f, -0.15f}, false, true},
        {{0.2f, 0.15f}, true, true},      {{0.5f}, false, false},          {{}, false, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TQMainWindow::swipeGoesBack(row.movements, row.natural), row.back);
}

TEST_F(WindowTest, StatusBarFollowsTheProgressModel)
{
    auto* bar = new test::RecordingStatusBar;
    ViewClasses::registerClass(
        TQMainWindowController::kStatusBarClass, [bar] { return static_cast<QObject*>(bar); }, true);
    makeWindow(5);
    TQProgressManager* progress = TQProgressManager::progressManager();
    const QVariantMap arguments{
        {QStringLiteral("actionID"), QStringLiteral("id__1")},
        {QStringLiteral("fileURLs"), QVariantList{QUrl::fromLocalFile("/tmp/a.txt")}}};
    progress->actionWillStart(QStringLiteral("UploadFiles"), arguments);
    ASSERT_TRUE(test::waitUntil([&] { return progress->topSession() != nullptr; }));
    const QString identifier = TQMainWindowController::progressIdentifier(progress->topSession());
    EXPECT_TRUE(identifier.startsWith(QStringLiteral("UploadFiles_")));
    progress->actionDidProgress(QStringLiteral("UploadFiles"), arguments, 3, 8);
    ASSERT_TRUE(
        test::waitUntil([&] { return bar->calls.contains(QStringLiteral("value 37 ") + identifier); }));
    progress->actionDidFinish(QStringLiteral("UploadFiles"), arguments);
    ASSERT_TRUE(test::waitUntil([&] { return bar->calls.constLast().startsWith(QStringLiteral("remove")); }));
    EXPECT_TRUE(bar->calls.contains(QStringLiteral("activity 1")));
    EXPECT_TRUE(bar->calls.contains(QStringLiteral("message Uploading a.txt ") + identifier));
    EXPECT_TRUE(bar->calls.at(1).startsWith(QStringLiteral("progress ")) &&
                bar->calls.at(1).endsWith(identifier));
    m_controller.reset();
    ViewClasses::unregisterClass(TQMainWindowController::kStatusBarClass);
    delete bar;
    EXPECT_EQ(TQMainWindowController::progressPercentage(5, 0), 0u);
}

// Answers every command that has a key, writing down which came.
class KeyCommandResponder : public QObject
{
    Q_OBJECT
public:
    QStringList received;
    Q_INVOKABLE void terminate(QObject*) { received << QStringLiteral("terminate:"); }
    Q_INVOKABLE void close(QObject*) { received << QStringLiteral("close:"); }
    Q_INVOKABLE void goFind(QObject*) { received << QStringLiteral("goFind:"); }
    Q_INVOKABLE void open(QObject*) { received << QStringLiteral("open:"); }
    Q_INVOKABLE void rename(QObject*) { received << QStringLiteral("rename:"); }
    Q_INVOKABLE void deleteEntity(QObject*) { received << QStringLiteral("deleteEntity:"); }
};

TEST_F(WindowTest, ThePlatformsKeysSendTheirCommandsAndTheListsOnlyFromTheList)
{
    TQMainWindowController* controller = makeWindow(5);
    TQMainWindow* window = controller->mainWindow();
    ASSERT_TRUE(test::showAndExpose(window));
    QWidget* content = controller->allItemsController()->view();
    auto* list = new QTableView(content);
    auto* field = new QLineEdit(content);
    KeyCommandResponder responder;
    for (QWidget* widget : {static_cast<QWidget*>(list), static_cast<QWidget*>(field)}) {
        ResponderChain::insertResponder(widget, &responder);
        widget->show();
    }
    struct Row
    {
        const char* name;
        bool onList;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* command; // nothing: the focused widget keeps the key
    };
    const Row rows[] = {
        {"quit", false, Qt::Key_Q, Qt::ControlModifier, "terminate:"},
        {"close", true, Qt::Key_W, Qt::ControlModifier, "close:"},
        {"find from the list", true, Qt::Key_F, Qt::ControlModifier, "goFind:"},
        {"find again from the field", false, Qt::Key_F, Qt::ControlModifier, "goFind:"},
        {"open", true, Qt::Key_Return, Qt::NoModifier, "open:"},
        {"open by the keypad", true, Qt::Key_Enter, Qt::KeypadModifier, "open:"},
        {"rename", true, Qt::Key_F2, Qt::NoModifier, "rename:"},
        {"delete", true, Qt::Key_Delete, Qt::NoModifier, "deleteEntity:"},
        {"return in the field", false, Qt::Key_Return, Qt::NoModifier, nullptr},
        {"delete in the field", false, Qt::Key_Delete, Qt::NoModifier, nullptr},
        {"F2 in the field", false, Qt::Key_F2, Qt::NoModifier, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        responder.received.clear();
        QWidget* target = row.onList ? static_cast<QWidget*>(list) : field;
        target->setFocus();
        QTest::keyClick(target, row.key, row.modifiers);
        EXPECT_EQ(responder.received,
                  row.command ? QStringList{QString::fromLatin1(row.command)} : QStringList{});
    }
    // The menus show the keys beside their items.
    QMenu* menu = controller->mainMenu();
    QStringList shown;
    for (QAction* item : menu->actions())
        if (!item->shortcut().isEmpty())
            shown << UserInterfaceItem::command(item) + QLatin1Char(' ') + item->shortcut().toString();
    EXPECT_TRUE(shown.contains(QStringLiteral("close: Ctrl+W")))
        << shown.join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("goFind: Ctrl+F")))
        << shown.join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(StandardKeys::keyForCommand(QStringLiteral("terminate:")),
              QKeySequence(QStringLiteral("Ctrl+Q")));
}

TEST_F(WindowTest, ALostConnectionIsSaidInTheStatusBar)
{
    auto* bar = new test::RecordingStatusBar;
    ViewClasses::registerClass(
        TQMainWindowController::kStatusBarClass, [bar] { return static_cast<QObject*>(bar); }, true);
    makeWindow(5);
    const QString words = StringTable::text(QStringLiteral("ServiceUnreachable"));
    NotificationCenter::defaultCenter().post(ConnectionStatus::kCordelConnectionStatusChanged,
                                             QVariant(qint64(1)));
    EXPECT_TRUE(bar->calls.contains(QStringLiteral("status %1 connectionStatus").arg(words)))
        << bar->calls.join(QLatin1Char(',')).toStdString();
    NotificationCenter::defaultCenter().post(ConnectionStatus::kCordelConnectionStatusChanged,
                                             QVariant(qint64(0)));
    EXPECT_EQ(bar->calls.constLast(), QStringLiteral("removeStatus connectionStatus"));
    m_controller.reset();
    ViewClasses::unregisterClass(TQMainWindowController::kStatusBarClass);
    delete bar;
}

} // namespace
} // namespace tavrel

#include "MainWindowTest.moc"
