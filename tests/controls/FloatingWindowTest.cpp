#include "controls/BezierPathExtensions.h"
#include "controls/TQFloatingWindow.h"
#include "controls/TQShadowedDivider.h"
#include "controls/TQTriStateButton.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/system/Settings.h"
#include "platform/ui/Animations.h"
#include "platform/ui/FloatingWindows.h"
#include "support/TempHome.h"
#include "support/WaitUntil.h"
#include "support/ui/WidgetTesting.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace tavrel {
namespace {

using Frame = TQFloatingWindowFrameView;

// The window's delegate: answers the close question and records what it was told.
class WindowDelegate : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE bool windowShouldClose(QObject* window)
    {
        asked.push_back(window);
        return allowClose;
    }
    Q_INVOKABLE void onWindowDidBecomeVisible(const tavrel::Notification& notification)
    {
        visibleNotifications.push_back(notification);
    }
    Q_INVOKABLE void drawerWillAppear(QObject*) { calls.push_back("willAppear"); }
    Q_INVOKABLE void drawerDidAppear(QObject* window)
    {
        calls.push_back("didAppear");
        // The drawer's content is set once it is out, as the share dialog does.
        auto* floating = qobject_cast<TQFloatingWindow*>(window);
        floating->setDrawerContentView(new QLineEdit);
    }
    Q_INVOKABLE void drawerWillDisappear(QObject* window)
    {
        calls.push_back("willDisappear");
        qobject_cast<TQFloatingWindow*>(window)->setDrawerContentView(nullptr);
    }
    Q_INVOKABLE void drawerDidDisappear(QObject*) { calls.push_back("didDisappear"); }

    bool allowClose = true;
    std::vector<QObject*> asked;
    std::vector<Notification> visibleNotifications;
    std::vector<std::string> calls;
};

class FloatingWindowTest : public test::TempHomeTest
{
protected:
    void SetUp() override
    {
        test::TempHomeTest::SetUp();
        FloatingWindows::setPlacementForTesting(FloatingWindows::Placement::Free);
        screen = QGuiApplication::primaryScreen()->availableGeometry();
    }
    void TearDown() override
    {
        FloatingWindows::setPlacementForTesting(FloatingWindows::Placement::Default);
        test::TempHomeTest::TearDown();
    }
    // A parent window placed on the screen.
    std::unique_ptr<QWidget> makeParent(const QRect& geometry)
    {
        auto parent = std::make_unique<QWidget>();
        parent->setGeometry(geometry);
        EXPECT_TRUE(test::showAndExpose(parent.get()));
        return parent;
    }
    // A window for content of 300 x 200 with a title and the arrow on the side.
    std::unique_ptr<TQFloatingWindow> makeWindow(int arrow, const QString& title = QStringLiteral("Share"))
    {
        return std::make_unique<TQFloatingWindow>(QRect(0, 0, 300, 200), title, arrow);
    }
    QRect screen;
};

TEST_F(FloatingWindowTest, ContentAndFrameRectanglesFollowSizeTitleAndArrow)
{
    struct Row
    {
        const char* name;
        Frame::Geometry geometry;
        QRectF content; // for the frame (0, 0, 300, 200)
    };
    const std::vector<Row> rows{
        // Inset 1 and 9, the title band 20 more at the top, the arrow 11 on the left (9 from the bottom).
        {"regular, title, left arrow", {0, true, -1, 11}, {12, 29, 287, 162}},
        {"regular, title, right arrow", {0, true, 1, 11}, {1, 29, 287, 162}},
        {"regular, no title, bottom arrow", {0, false, 2, 11}, {1, 9, 298, 171}},
        {"regular, free", {0, false, 0, 11}, {1, 9, 298, 182}},
        {"small: no inset, radius 4", {1, true, 1, 5}, {0, 24, 295, 176}},
        {"medium: half the radius inset", {2, true, -1, 8}, {9, 25, 290, 170}},
        {"any other size: no inset", {7, false, 0, 11}, {0, 0, 300, 200}},
    };
    const QRectF frame(0, 0, 300, 200);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QRectF content = Frame::contentRectForFrameRect(frame, row.geometry);
        EXPECT_EQ(content, row.content);
        EXPECT_EQ(Frame::frameRectForContentRect(content, row.geometry), frame);
    }
}

TEST_F(FloatingWindowTest, ContentOf300By200GetsTheFrameAroundItOnTheScreen)
{
    TQFloatingWindow window(QRect(100, 100, 300, 200), QStringLiteral("Share"), -1);
    // 11 for the arrow and 1 on each side; 20 of title band and 9 on each end.
    EXPECT_EQ(window.frame(), QRect(88, 71, 313, 238));
    EXPECT_TRUE(window.hasTitle());
    EXPECT_TRUE(window.hasArrow());

    auto* content = new QWidget;
    window.setContentView(content);
    EXPECT_EQ(content->geometry(), QRect(12, 29, 300, 200));
    EXPECT_EQ(content->mapTo(&window, QPoint()) + window.pos(), QPoint(100, 100));
    // The widget is larger by the shadow around the frame.
    EXPECT_EQ(window.geometry(),
              window.frame().adjusted(-TQFloatingWindow::kShadowMargin, -TQFloatingWindow::kShadowMargin,
                                      TQFloatingWindow::kShadowMargin, TQFloatingWindow::kShadowMargin));

    TQFloatingWindow plain(QRect(0, 0, 300, 200), QString(), 0);
    EXPECT_FALSE(plain.hasTitle());
    EXPECT_FALSE(plain.hasArrow());
    EXPECT_EQ(plain.frame().size(), QSize(302, 218));
}

TEST_F(FloatingWindowTest, WindowSizesSetTheArrowTheCornersAndTheKeyboard)
{
    struct Row
    {
        int size;
        qreal arrowHeight, arrowBase, radius;
        bool canBecomeKey;
    };
    const std::vector<Row> rows{{0, 11, 22, 8, true}, {1, 5, 7, 4, false}, {2, 8, 15, 8, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.size);
        auto window = makeWindow(-1);
        window->setWindowSize(2 - row.size); // from another size, so that the change is made
        window->setWindowSize(row.size);
        EXPECT_EQ(window->frameView()->arrowHeight(), row.arrowHeight);
        EXPECT_EQ(window->frameView()->arrowBaseLength(), row.arrowBase);
        EXPECT_EQ(window->frameView()->cornerRadius(), row.radius);
        EXPECT_EQ(window->canBecomeKeyWindow(), row.canBecomeKey);
        // Neither resized nor re-laid out.
        EXPECT_EQ(window->frame().size(), QSize(313, 238));
    }
    // Another value is kept and leaves the arrow as it was.
    auto window = makeWindow(-1);
    window->setWindowSize(2);
    window->setWindowSize(5);
    EXPECT_EQ(window->windowSize(), 5);
    EXPECT_EQ(window->frameView()->arrowHeight(), 8);
}

TEST_F(FloatingWindowTest, AttachingPutsTheArrowsTipOnThePoint)
{
    const auto parent = makeParent(QRect(screen.x() + 100, screen.y() + 80, 500, 400));
    const QPoint point(250, 120);
    const QPoint tip = parent->mapToGlobal(point);
    Settings::setValue(Frame::kLastPositionKey, QStringLiteral("{40, 50}"));

    struct Row
    {
        const char* name;
        int arrow;
        int windowSize;
        bool remembered;
        std::function<QPoint(const QRect& frame)> expected; // the frame's top-left corner
    };
    const std::vector<Row> rows{
        // The side arrows' tips lie 39 + 11 below the top edge.
        {"left arrow: the window on the point's right", -1, 0, false,
         [&](const QRect&) { return tip + QPoint(0, -50); }},
        {"right arrow: the window on the point's left", 1, 0, false,
         [&](const QRect& f) { return tip + QPoint(-f.width(), -50); }},
        {"bottom arrow: above the point, centred", 2, 0, false,
         [&](const QRect& f) { return tip + QPoint(-f.width() / 2, -f.height()); }},
        {"free, nothing remembered: the top-left corner on the point", 0, 0, false,
         [&](const QRect&) { return tip; }},
        {"free, a position remembered: there", 0, 0, true, [&](const QRect&) { return QPoint(40, 50); }},
        {"small window: the tip at half the height", -1, 1, false,
         [&](const QRect& f) { return tip + QPoint(0, -f.height() / 2); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (!row.remembered)
            Settings::remove(Frame::kLastPositionKey);
        else
            Settings::setValue(Frame::kLastPositionKey, QStringLiteral("{40, 50}"));
        WindowDelegate delegate;
        auto window = makeWindow(row.arrow);
        window->setDelegate(&delegate);
        window->setWindowSize(row.windowSize);
        window->attachToWindow(parent.get(), point);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->frame().topLeft(), row.expected(window->frame()));
        ASSERT_EQ(delegate.visibleNotifications.size(), 1u);
        EXPECT_EQ(delegate.visibleNotifications[0].name(), QStringLiteral("TQWindowDidBecomeVisible"));
        EXPECT_EQ(delegate.visibleNotifications[0].objectAsQObject(), window.get());
        // Placing the window is no move of the user's: nothing is remembered.
        EXPECT_EQ(Settings::contains(Frame::kLastPositionKey), row.remembered);
    }
    // Without a parent the point is a screen point.
    auto window = makeWindow(-1);
    window->attachToWindow(nullptr, QPoint(300, 260));
    EXPECT_EQ(window->frame().topLeft(), QPoint(300, 210));
}

TEST_F(FloatingWindowTest, TheArrowGoesForGoodWhenTheParentChanges)
{
    enum class Change { Move, Resize, Minimise, DetachNotice, OwnDetachNotice };
    struct Row
    {
        const char* name;
        int arrow;
        bool persistent;
        Change change;
        bool hidden;
    };
    const std::vector<Row> rows{
        {"the parent moves", -1, false, Change::Move, true},
        {"the parent is resized", 2, false, Change::Resize, true},
        {"the parent is minimised", 1, false, Change::Minimise, true},
        {"a view asks quick-share dialogs to detach", -1, false, Change::DetachNotice, true},
        {"the notice about the window itself", -1, false, Change::OwnDetachNotice, false},
        {"a persistent arrow survives", -1, true, Change::Move, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto parent = makeParent(QRect(screen.x() + 60, screen.y() + 60, 400, 300));
        auto window = makeWindow(row.arrow);
        window->setKeepArrowPersistent(row.persistent);
        window->attachToWindow(parent.get(), QPoint(380, 100));
        const QRect frame = window->frame();
        const QRectF content = window->contentRectForFrameRect(QRectF(QPointF(), frame.size()));
        ASSERT_FALSE(window->frameView()->shouldHidePointer());

        switch (row.change) {
        case Change::Move:
            parent->move(parent->pos() + QPoint(30, 10));
            break;
        case Change::Resize:
            parent->resize(420, 320);
            break;
        case Change::Minimise:
            parent->showMinimized();
            break;
        case Change::DetachNotice:
            NotificationCenter::defaultCenter().post(
                TQFloatingWindow::kQuickShareDialogShouldDetachNotification,
                QVariant::fromValue<QObject*>(parent.get()));
            break;
        case Change::OwnDetachNotice:
            NotificationCenter::defaultCenter().post(
                TQFloatingWindow::kQuickShareDialogShouldDetachNotification,
                QVariant::fromValue<QObject*>(window.get()));
            break;
        }
        if (row.hidden)
            EXPECT_TRUE(test::waitUntil([&] { return window->frameView()->shouldHidePointer(); }));
        else
            QCoreApplication::processEvents();
        EXPECT_EQ(window->frameView()->shouldHidePointer(), row.hidden);
        // The window stays where it is, and so does its content; only the outline changes.
        EXPECT_EQ(window->frame(), frame);
        EXPECT_EQ(window->contentRectForFrameRect(QRectF(QPointF(), frame.size())), content);

        if (row.hidden) {
            // Observing stopped: the arrow never returns, a second change does nothing more.
            parent->showNormal();
            parent->move(parent->pos() + QPoint(5, 5));
            QCoreApplication::processEvents();
            EXPECT_TRUE(window->frameView()->shouldHidePointer());
        }
    }
}

TEST_F(FloatingWindowTest, AWindowWithoutArrowOrParentObservesNothing)
{
    const auto parent = makeParent(QRect(screen.x() + 60, screen.y() + 60, 400, 300));
    auto free = makeWindow(0);
    free->attachToWindow(parent.get(), QPoint(10, 10));
    auto orphan = makeWindow(-1);
    orphan->attachToWindow(nullptr, QPoint(200, 200));
    parent->move(parent->pos() + QPoint(20, 0));
    NotificationCenter::defaultCenter().post(TQFloatingWindow::kQuickShareDialogShouldDetachNotification);
    QCoreApplication::processEvents();
    EXPECT_FALSE(free->frameView()->shouldHidePointer());
    EXPECT_FALSE(orphan->frameView()->shouldHidePointer());
}

TEST_F(FloatingWindowTest, PlacementCheckFlipsOrFreesTheWindowAtTheScreensEdges)
{
    struct Row
    {
        const char* name;
        QRect parent; // relative to the available screen area
        QPoint point; // in the parent
        int pointer;  // before
        int pointerAfter;
        std::function<QPoint(const QPoint& point, const QRect& parent, const QSize& frame)> expected;
        bool onScreenAfter = true; // beyond the top or the left the check does nothing
    };
    const std::vector<Row> rows{
        {"fits: unchanged",
         {20, 20, 300, 200},
         {300, 60},
         -1,
         -1,
         [](const QPoint& p, const QRect&, const QSize&) { return p; }},
        {"past the right edge: the arrow changes sides, the window goes left of the parent",
         {screen.width() - 320, 20, 300, 200},
         {300, 60},
         -1,
         1,
         [](const QPoint& p, const QRect& parent, const QSize&) {
             return p - QPoint(parent.width() + 2, 0);
         }},
        {"below the bottom: free, 2 points above the bottom",
         {20, screen.height() - 120, 300, 100},
         {290, 80},
         -1,
         0,
         [this](const QPoint& p, const QRect& parent, const QSize& frame) {
             return QPoint(p.x(), screen.height() - frame.height() - 2 - parent.y());
         }},
        {"below and past the right edge: free, left of the parent",
         {screen.width() - 320, screen.height() - 120, 300, 100},
         {290, 80},
         -1,
         0,
         [this](const QPoint& p, const QRect& parent, const QSize& frame) {
             return QPoint(p.x() - parent.width() - frame.width() - 4,
                           screen.height() - frame.height() - 2 - parent.y());
         }},
        {"a bottom arrow past the right edge: no side to flip to, unchanged",
         {screen.width() - 200, 300, 200, 200},
         {190, 10},
         2,
         2,
         [](const QPoint& p, const QRect&, const QSize&) { return p; },
         false},
        {"only beyond the top: unchanged",
         {20, 0, 300, 200},
         {300, 5},
         -1,
         -1,
         [](const QPoint& p, const QRect&, const QSize&) { return p; },
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto parent = makeParent(row.parent.translated(screen.topLeft()));
        auto window = makeWindow(row.pointer);
        const QSize frame = window->frame().size();
        const QPoint checked = window->validatePoint(row.point, parent.get());
        // The parent's window frame, with whatever the window system draws around it.
        const QRect parentFrame(row.parent.topLeft(),
                                QSize(parent->frameGeometry().width(), row.parent.height()));
        EXPECT_EQ(checked, row.expected(row.point, parentFrame, frame));
        EXPECT_EQ(window->frameView()->pointerPosition(), row.pointerAfter);
        EXPECT_EQ(window->frame().size(), frame);

        // Attached at the checked point, the window lies within the visible area.
        window->attachToWindow(parent.get(), checked);
        EXPECT_EQ(screen.contains(window->frame()), row.onScreenAfter)
            << window->frame().x() << "," << window->frame().y() << " " << window->frame().width() << "x"
            << window->frame().height() << " in " << screen.width() << "x" << screen.height();
    }
}

TEST_F(FloatingWindowTest, EscapeAndTheCloseButtonAskTheDelegateFirst)
{
    enum class Via { Escape, EscapeInAField, CloseButton };
    struct Row
    {
        const char* name;
        Via via;
        bool withDelegate;
        bool allow;
        bool closed;
    };
    const std::vector<Row> rows{
        {"Escape, the delegate agrees", Via::Escape, true, true, true},
        {"Escape, the delegate refuses", Via::Escape, true, false, false},
        {"Escape in a text field of the content, refused", Via::EscapeInAField, true, false, false},
        {"Escape in a text field of the content", Via::EscapeInAField, true, true, true},
        {"Escape without a delegate", Via::Escape, false, false, true},
        {"the close button, refused", Via::CloseButton, true, false, false},
        {"the close button", Via::CloseButton, true, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WindowDelegate delegate;
        delegate.allowClose = row.allow;
        auto window = makeWindow(0);
        auto* field = new QLineEdit;
        window->setContentView(field);
        window->setHasCloseButton(true);
        if (row.withDelegate)
            window->setDelegate(&delegate);
        QSignalSpy willClose(window.get(), &TQFloatingWindow::windowWillClose);
        window->attachToWindow(nullptr, screen.topLeft() + QPoint(50, 50));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

        switch (row.via) {
        case Via::Escape:
            QTest::keyClick(window->frameView(), Qt::Key_Escape, Qt::ShiftModifier);
            break;
        case Via::EscapeInAField:
            QTest::keyClick(field, Qt::Key_Escape);
            break;
        case Via::CloseButton:
            QTest::mouseClick(window->closeButton(), Qt::LeftButton);
            break;
        }
        EXPECT_EQ(window->isVisible(), !row.closed);
        EXPECT_EQ(willClose.count(), row.closed ? 1 : 0);
        if (row.withDelegate) {
            ASSERT_EQ(delegate.asked.size(), 1u);
            EXPECT_EQ(delegate.asked[0], window.get());
        }
    }
}

TEST_F(FloatingWindowTest, TheCloseButtonSitsInTheTitleBandBesideTheTitleBarView)
{
    auto window = makeWindow(-1);
    auto* bar = new QWidget;
    window->setTitlebar(bar);
    const QRectF band = window->frameView()->titlebarFrame();
    EXPECT_EQ(band, QRectF(11, 0, 302, 29));
    EXPECT_EQ(bar->geometry(), band.toRect());

    window->setHasCloseButton(true);
    window->setHasCloseButton(true);
    EXPECT_EQ(window->frameView()->findChildren<TQTriStateButton*>().size(), 1);
    TQTriStateButton* button = window->closeButton();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->size(), QSize(12, 12));
    EXPECT_EQ(button->pos(), QPoint(11 + 8, 8));
    // The title bar view starts 4 points after the button and is narrower by its width and 12.
    EXPECT_EQ(bar->x(), button->geometry().right() + 1 + 4);
    EXPECT_EQ(bar->width(), 302 - 12 - 12);

    window->setHasCloseButton(false);
    window->setHasCloseButton(false);
    EXPECT_EQ(window->closeButton(), nullptr);
    EXPECT_FALSE(window->hasCloseButton());

    // Without a title the title bar view is kept but not shown.
    TQFloatingWindow untitled(QRect(0, 0, 200, 100), QString(), 0);
    auto* hidden = new QWidget;
    untitled.setTitlebar(hidden);
    EXPECT_EQ(untitled.titlebar(), hidden);
    EXPECT_TRUE(hidden->isHidden());
}

TEST_F(FloatingWindowTest, TheDrawerSlidesOutEightyPointsAndBackTellingItsDelegate)
{
    WindowDelegate delegate;
    auto window = makeWindow(0);
    auto* content = new QWidget;
    window->setContentView(content);
    window->attachToWindow(nullptr, screen.topLeft() + QPoint(40, 40));
    const QRect closed = window->frame();
    const QRect contentBefore = content->geometry();

    window->makeDrawerVisible(true, &delegate);
    EXPECT_TRUE(window->hasDrawer());
    EXPECT_EQ(window->frame(), closed.adjusted(0, 0, 0, TQFloatingWindow::kDrawerHeight));
    EXPECT_EQ(delegate.calls, (std::vector<std::string>{"willAppear", "didAppear"}));
    // The content keeps its place; the divider lies under it, 5 high, its bottom edge 8 below it.
    EXPECT_EQ(content->geometry(), contentBefore);
    TQShadowedDivider* divider = window->drawerDivider();
    EXPECT_TRUE(divider->isVisible());
    EXPECT_TRUE(divider->shouldDrawShadow());
    EXPECT_EQ(divider->geometry(),
              QRect(contentBefore.x() - 1, contentBefore.bottom() + 1 + 3, contentBefore.width() + 2, 5));
    // The drawer's content, set when it came out, lies in the new space.
    ASSERT_NE(window->drawerContentView(), nullptr);
    EXPECT_EQ(window->drawerContentView()->geometry(), window->contentRectForDrawer());
    EXPECT_EQ(window->contentRectForDrawer().bottom() + 1, window->frameView()->height() - 4);
    EXPECT_EQ(window->contentRectForDrawer().height(), 76);
    EXPECT_TRUE(window->drawerContentView()->isVisible());

    delegate.calls.clear();
    window->makeDrawerVisible(false, &delegate);
    EXPECT_FALSE(window->hasDrawer());
    EXPECT_EQ(window->frame(), closed);
    EXPECT_EQ(delegate.calls, (std::vector<std::string>{"willDisappear", "didDisappear"}));
    EXPECT_FALSE(divider->isVisible());
    EXPECT_EQ(content->geometry(), contentBefore);
    EXPECT_EQ(window->drawerContentView(), nullptr);
}

TEST_F(FloatingWindowTest, TheDrawerTakesItsTimeAtTheNormalPace)
{
    Animations::FactorOverride normalPace(1.0);
    WindowDelegate delegate;
    auto window = makeWindow(0);
    const QRect closed = window->frame();
    window->makeDrawerVisible(true, &delegate);
    // Under way: told it will appear, not yet that it did.
    EXPECT_EQ(delegate.calls, (std::vector<std::string>{"willAppear"}));
    EXPECT_LT(window->frame().height(), closed.height() + TQFloatingWindow::kDrawerHeight);
    ASSERT_TRUE(test::waitUntil([&] { return delegate.calls.size() == 2; }));
    EXPECT_EQ(window->frame(), closed.adjusted(0, 0, 0, TQFloatingWindow::kDrawerHeight));
}

TEST_F(FloatingWindowTest, DraggingAKeyWindowHidesItsArrowAndRemembersWhereItWent)
{
    const auto parent = makeParent(QRect(screen.x() + 40, screen.y() + 40, 300, 200));
    auto window = makeWindow(-1);
    window->attachToWindow(parent.get(), QPoint(290, 60));
    // Once it has become key, the window's moves are watched.
    ASSERT_TRUE(test::waitUntil([&] { return window->frameView()->isObservingMoves(); }));
    // Placing it stored nothing.
    EXPECT_FALSE(Settings::contains(Frame::kLastPositionKey));

    Frame* frameView = window->frameView();
    const QPoint grip(150, 100); // the background, below the title band
    QTest::mousePress(frameView, Qt::LeftButton, {}, grip);
    QTest::mouseMove(frameView, grip + QPoint(30, 20));
    QTest::mouseRelease(frameView, Qt::LeftButton, {}, grip + QPoint(30, 20));
    ASSERT_TRUE(test::waitUntil([&] { return Settings::contains(Frame::kLastPositionKey); }));
    EXPECT_TRUE(frameView->shouldHidePointer());
    EXPECT_EQ(Frame::lastKnownPlainQSDLocation(), window->frame().topLeft());

    // The next free-standing window opens there.
    auto next = makeWindow(0, QString());
    next->attachToWindow(parent.get(), QPoint(5, 5));
    EXPECT_EQ(next->frame().topLeft(), window->frame().topLeft());
}

TEST_F(FloatingWindowTest, ASmallWindowNeverBecomesKeySoDraggingItChangesNothing)
{
    auto window = makeWindow(-1);
    window->setWindowSize(1);
    window->attachToWindow(nullptr, screen.topLeft() + QPoint(100, 100));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isActiveWindow());
    EXPECT_FALSE(window->frameView()->isObservingMoves());

    Frame* frameView = window->frameView();
    QTest::mousePress(frameView, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(frameView, QPoint(140, 120));
    QTest::mouseRelease(frameView, Qt::LeftButton, {}, QPoint(140, 120));
    QCoreApplication::processEvents();
    EXPECT_FALSE(frameView->shouldHidePointer());
    EXPECT_FALSE(Settings::contains(Frame::kLastPositionKey));
}

TEST_F(FloatingWindowTest, AnUnreadableRememberedPositionMeansNone)
{
    for (const QString& stored : {QString(), QStringLiteral("garbage"), QStringLiteral("{1, }")}) {
        SCOPED_TRACE(stored.toStdString());
        Settings::setValue(Frame::kLastPositionKey, stored.isNull() ? QVariant() : QVariant(stored));
        EXPECT_EQ(Frame::lastKnownPlainQSDLocation(), QPoint());
    }
    Settings::setValue(Frame::kLastPositionKey, QStringLiteral("{120.5, -30}"));
    EXPECT_EQ(Frame::lastKnownPlainQSDLocation(), QPoint(121, -30));
}

TEST_F(FloatingWindowTest, HidingTheArrowStraightensTheOutlineAndKeepsTheContent)
{
    auto window = makeWindow(-1);
    Frame* frameView = window->frameView();
    const QRectF bounds(frameView->rect());
    const QPointF inArrow(3, 39 + 11); // just inside the tip, 39 + 11 below the top edge
    EXPECT_TRUE(frameView->outlinePath().contains(inArrow));
    const QRectF content = window->contentRectForFrameRect(bounds);

    QImage before(frameView->size(), QImage::Format_ARGB32_Premultiplied);
    before.fill(Qt::transparent);
    frameView->render(&before);
    EXPECT_GT(qAlpha(before.pixel(inArrow.toPoint())), 200);

    frameView->setShouldHidePointer(true);
    EXPECT_FALSE(frameView->outlinePath().contains(inArrow));
    EXPECT_EQ(window->contentRectForFrameRect(bounds), content);
    QImage after(frameView->size(), QImage::Format_ARGB32_Premultiplied);
    after.fill(Qt::transparent);
    frameView->render(&after);
    EXPECT_EQ(qAlpha(after.pixel(inArrow.toPoint())), 0);
}

TEST_F(FloatingWindowTest, OutlineGeometryOfTheArrowsAndCorners)
{
    struct Row
    {
        const char* name;
        int arrow;
        int size;
        std::vector<QPointF> inside;
        std::vector<QPointF> outside;
    };
    // The frame of content 300 x 200: 313 x 238 with a side arrow, 302 x 238 + 11 with a bottom one.
    const std::vector<Row> rows{
        {"left arrow: tip 50 below the top", -1, 0, {{0.8, 50}, {20, 1}}, {{5, 20}, {5, 80}, {0.5, 0.5}}},
        {"right arrow", 1, 0, {{312.2, 50}}, {{308, 20}, {312, 1}}},
        {"bottom arrow: tip at the centre of the bottom edge", 2, 0, {{151, 247.5}}, {{100, 245}}},
        {"small window: the tip at half the height", -1, 1, {{1, 119}}, {{1, 50}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto window = makeWindow(row.arrow);
        window->setWindowSize(row.size);
        const QPainterPath outline =
            window->frameView()->borderPathInRect(QRectF(window->frameView()->rect()));
        for (const QPointF& point : row.inside)
            EXPECT_TRUE(outline.contains(point)) << point.x() << "," << point.y();
        for (const QPointF& point : row.outside)
            EXPECT_FALSE(outline.contains(point)) << point.x() << "," << point.y();
    }
}

TEST(BezierPathExtensions, HalfRoundRectangleHasRoundTopAndSquareBottomCorners)
{
    const QPainterPath path = BezierPathExtensions::halfRoundPathWithRect(QRectF(0, 0, 100, 29), 8);
    // Square bottom corners.
    EXPECT_TRUE(path.contains(QPointF(0.5, 28.5)));
    EXPECT_TRUE(path.contains(QPointF(99.5, 28.5)));
    // Round top corners around (8, 8) and (92, 8): 7.8 from the centre is in, 9.9 is out.
    EXPECT_TRUE(path.contains(QPointF(2.5, 2.5)));
    EXPECT_TRUE(path.contains(QPointF(97.5, 2.5)));
    EXPECT_FALSE(path.contains(QPointF(1, 1)));
    EXPECT_FALSE(path.contains(QPointF(99, 1)));
    EXPECT_EQ(path.boundingRect(), QRectF(0, 0, 100, 29));
}

TEST(ShadowedDivider, DrawsItsHairlineAndTheShadowOnlyWhenAsked)
{
    TQShadowedDivider divider;
    divider.resize(50, 5);
    const auto render = [&] {
        QImage image(divider.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        divider.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    };
    QImage image = render();
    EXPECT_EQ(image.pixel(25, 0), qRgb(0x55, 0x55, 0x55));
    EXPECT_EQ(image.pixel(25, 1), qRgb(0xFF, 0xFF, 0xFF));
    divider.setShouldDrawShadow(true);
    image = render();
    EXPECT_LT(qRed(image.pixel(25, 1)), qRed(image.pixel(25, 3)));
    EXPECT_LT(qRed(image.pixel(25, 1)), 200);
}

} // namespace
} // namespace tavrel

#include "FloatingWindowTest.moc"
