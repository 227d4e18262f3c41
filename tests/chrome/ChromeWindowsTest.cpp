#include "chrome/TQFilterbarController.h"
#include "chrome/TQModalContentController.h"
#include "chrome/TQNewGroupController.h"
#include "chrome/TQTextFilterbar.h"
#include "chrome/TQTitlebarTitleCell.h"
#include "chrome/TQUtilityWindowController.h"
#include "controls/TQFloatingWindow.h"
#include "controls/TQHostView.h"
#include "controls/TQHoverdTextButtonCell.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/CellButton.h"
#include "support/TempHome.h"
#include "support/WaitUntil.h"
#include "support/ui/WidgetTesting.h"
#include "window/TQViewController.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

class ChromeWindowsTest : public test::TempHomeTest
{
};

// Hears the filter-bar controller: vetoes the controllers it is told to, notes each switch with
// whether the new controller was installed by then.
class FilterDelegate : public QObject
{
    Q_OBJECT
public:
    QList<QObject*> vetoed;
    QStringList heard;
    Q_INVOKABLE bool filterbarControllerShouldSwitchToController(QObject*, QObject* controller)
    {
        return !vetoed.contains(controller);
    }
    Q_INVOKABLE void filterbarControllerDidSwitchToController(QObject*, QObject* controller)
    {
        heard << controller->objectName() +
                     (static_cast<TQViewController*>(controller)->isInstalled() ? "+" : "-");
    }
};

class SharingController : public TQViewController
{
public:
    int shared = 0;
    void share(QObject*) override { ++shared; }
};

CellButton* textButton(QWidget* parent, const QString& title, int width)
{
    auto* button = new CellButton(std::make_shared<TQHoverdTextButtonCell>(title), parent);
    button->resize(width, 20);
    return button;
}

TEST_F(ChromeWindowsTest, FilterBarSwitchesControllersWithItsHooks)
{
    TQFilterbarController filter;
    filter.view()->resize(300, 200);
    TQRadioButtonbar bar;
    bar.setButtons({textButton(&bar, "A", 60), textButton(&bar, "B", 60), textButton(&bar, "C", 60)});
    filter.setFilterbar(&bar);
    FilterDelegate delegate;
    filter.setDelegate(&delegate);
    auto* first = new TQViewController;
    first->setObjectName("first");
    auto* second = new TQViewController;
    second->setObjectName("second");
    int detachNotices = 0;
    NotificationCenter::defaultCenter().addObserver(
        &delegate, TQFloatingWindow::kQuickShareDialogShouldDetachNotification, QVariant(),
        [&](const Notification&) { ++detachNotices; });
    filter.setControllers({first, second});
    EXPECT_EQ(filter.currentController(), first);
    EXPECT_TRUE(first->isInstalled());
    detachNotices = 0;
    delegate.heard.clear();

    bar.activateButtonAtIndex(1);
    EXPECT_EQ(filter.currentController(), second);
    EXPECT_FALSE(first->isInstalled());
    EXPECT_EQ(second->view()->parentWidget(), filter.view());
    EXPECT_EQ(delegate.heard, QStringList{"second+"});
    EXPECT_EQ(detachNotices, 1);

    // A veto keeps the button and the body.
    delegate.vetoed << first;
    bar.activateButtonAtIndex(0);
    EXPECT_EQ(filter.currentController(), second);
    EXPECT_TRUE(second->isInstalled());

    // A button without a controller is allowed and keeps the body; the next switch still takes it away.
    bar.activateButtonAtIndex(2);
    EXPECT_TRUE(second->isInstalled());
    delegate.vetoed.clear();
    bar.activateButtonAtIndex(0);
    EXPECT_TRUE(first->isInstalled());
    EXPECT_FALSE(second->isInstalled());
}

TEST_F(ChromeWindowsTest, TextFilterBarSpreadsItsButtonsEvenly)
{
    TQTextFilterbar bar;
    bar.resize(300, 30);
    textButton(&bar, "One", 60);
    textButton(&bar, "Two", 60);
    textButton(&bar, "Three", 60);
    bar.awakeFromNib();
    ASSERT_EQ(bar.buttons().size(), 3);
    bar.layoutButtons();
    QList<int> xs;
    for (QAbstractButton* button : bar.buttons())
        xs << button->x();
    EXPECT_EQ(xs, (QList<int>{30, 120, 210}));
    EXPECT_EQ(bar.buttons().first()->y(), 5);
}

TEST_F(ChromeWindowsTest, UtilityWindowHostsItsControllerAndFreesItselfOnClose)
{
    QPointer<TQUtilityWindowController> window = new TQUtilityWindowController;
    auto* hosted = new SharingController;
    QPointer<SharingController> watch = hosted;
    window->setController(hosted);
    EXPECT_TRUE(hosted->isInstalled());
    EXPECT_EQ(hosted->view()->parentWidget(), window->hostView());
    window->share(nullptr);
    EXPECT_EQ(hosted->shared, 1);
    EXPECT_EQ(window->windowWillPositionSheet(nullptr, QRect(10, 22, 300, 100)), QRect(10, 36, 300, 100));

    window->showWindow(nullptr);
    window->window()->close();
    ASSERT_TRUE(test::waitUntil([&] { return window.isNull(); }));
    EXPECT_TRUE(watch.isNull());
}

TEST_F(ChromeWindowsTest, NewGroupSheetAsksOnceWithTheNameAndNeverOnCancel)
{
    EXPECT_FALSE(TQNewGroupController::isCreateGroupAvailable());
    struct Row
    {
        bool confirm;
        int requests;
    };
    for (const Row row : {Row{false, 0}, Row{true, 1}}) {
        QWidget parent;
        QPointer<TQNewGroupController> sheet = new TQNewGroupController;
        QList<QVariantMap> sent;
        sheet->setActionExecutor([&](const QString& action, QObject*, const QVariantMap& parameters) {
            EXPECT_EQ(action, QStringLiteral("CreateGroup"));
            sent << parameters;
        });
        sheet->showWindowModalToWindow(&parent);
        sheet->nameField()->setText(QStringLiteral("Book club"));
        if (row.confirm)
            sheet->ok(nullptr);
        else
            sheet->cancel(nullptr);
        ASSERT_EQ(sent.size(), row.requests);
        if (row.requests) {
            EXPECT_EQ(sent.first().value("title").toString(), QStringLiteral("Book club"));
            EXPECT_TRUE(sent.first().value("statusID").toString().startsWith(QStringLiteral("newgroup_")));
        }
        // It lets itself go once the sheet ended.
        ASSERT_TRUE(test::waitUntil([&] { return sheet.isNull(); }));
    }
}

TEST_F(ChromeWindowsTest, PopoverClosesOnClicksAndKeysElsewhereOnly)
{
    QWidget other;
    TQModalContentController popover;
    auto* window = new TQFloatingWindow(QRect(0, 0, 120, 60), QString(), 0);
    popover.setWindow(window);
    struct Row
    {
        const char* what;
        QEvent* event;
        bool inOwnWindow;
        bool closes;
    };
    const QPointF point(5, 5);
    auto mouse = [&](QEvent::Type type, Qt::MouseButtons buttons) {
        return new QMouseEvent(type, point, point, buttons & Qt::LeftButton ? Qt::LeftButton : Qt::NoButton,
                               buttons, Qt::NoModifier);
    };
    const QList<Row> rows = {
        {"move elsewhere", mouse(QEvent::MouseMove, Qt::NoButton), false, false},
        {"shift elsewhere", new QKeyEvent(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier), false, false},
        {"key release elsewhere", new QKeyEvent(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier), false, false},
        {"key in its own window", new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier), true, false},
        {"click in its own window", mouse(QEvent::MouseButtonPress, Qt::LeftButton), true, false},
        {"click elsewhere", mouse(QEvent::MouseButtonPress, Qt::LeftButton), false, true},
        {"drag elsewhere", mouse(QEvent::MouseMove, Qt::LeftButton), false, true},
        {"key elsewhere", new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier), false, true},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(popover.closesOnEvent(row.inOwnWindow ? static_cast<QObject*>(window) : &other, row.event),
                  row.closes)
            << row.what;
        delete row.event;
    }

    // Shown and watching: a click in another window closes it, a move there does not.
    window->attachToWindow(nullptr, QPoint(200, 200));
    popover.onWindowDidBecomeVisible(Notification());
    ASSERT_TRUE(popover.isWatchingEvents());
    other.resize(100, 100);
    ASSERT_TRUE(test::showAndExpose(&other));
    test::moveMouse(&other, QPoint(10, 10));
    EXPECT_TRUE(window->isVisible());
    test::multiClick(&other, QPoint(10, 10), 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(popover.isWatchingEvents());
    delete window;
}

TEST_F(ChromeWindowsTest, TitleCellCentresWhatFitsAndStartsWideTitlesAtTheLeft)
{
    TQTitlebarTitleCell cell(QStringLiteral("Sharing"));
    const QSizeF size = cell.cellSize();
    const QRectF bounds(10, 0, 400, 36);
    const QRectF rect = cell.titleRectForBounds(bounds);
    EXPECT_DOUBLE_EQ(rect.x(), 10 + (400 - size.width()) * 0.5);
    EXPECT_DOUBLE_EQ(rect.y(), (36 - size.height()) * 0.5);
    EXPECT_DOUBLE_EQ(cell.titleRectForBounds(QRectF(10, 0, size.width() / 2, 36)).x(), 0);
    cell.setTitle(QString());
    EXPECT_TRUE(cell.title().isNull());
}

} // namespace
} // namespace tavrel

#include "ChromeWindowsTest.moc"
