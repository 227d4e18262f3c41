#include "ControlTestSupport.h"
#include "controls/TQDoubleActionButton.h"
#include "controls/TQRemoveItemButton.h"
#include "controls/TQTriStateButton.h"
#include "controls/TQTriStateDropButton.h"
#include "platform/runtime/Timing.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/ImageRegistry.h"
#include "support/WaitUntil.h"
#include "support/ui/WidgetTesting.h"

#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace tavrel {
namespace {

QString nameOf(const QPixmap& pixmap)
{
    return ImageRegistry::nameOf(pixmap);
}

class TriStateButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        window->resize(200, 200);
        button = new TQTriStateButton(window.get());
        button->setGeometry(20, 20, 40, 40);
        button->setImage(ImageRegistry::pixmap(QStringLiteral("mode_collections")));
        button->setAlternateImage(ImageRegistry::pixmap(QStringLiteral("mode_collections_on")));
        button->awakeFromNib();
        button->setHoverImage(ImageRegistry::pixmap(QStringLiteral("mode_collections_active")));
        button->cell()->setAction([this](Cell&) {
            events << QStringLiteral("action");
            menuVisibleAtAction = menu.isVisible();
        });
        ASSERT_TRUE(test::showAndExpose(window.get()));
    }
    void TearDown() override { menu.hide(); }

    std::unique_ptr<QWidget> window;
    TQTriStateButton* button = nullptr;
    QMenu menu;
    QStringList events;
    bool menuVisibleAtAction = true;
};

TEST_F(TriStateButtonTest, SwapsItsImagesAsTheMouseEntersAndLeaves)
{
    EXPECT_EQ(nameOf(button->normalImage()), QStringLiteral("mode_collections"));
    EXPECT_EQ(nameOf(button->pressedImage()), QStringLiteral("mode_collections_on"));
    test::enterWidget(button, QPoint(5, 5));
    EXPECT_EQ(nameOf(button->image()), QStringLiteral("mode_collections_active"));
    test::leaveWidget(button);
    EXPECT_EQ(nameOf(button->image()), QStringLiteral("mode_collections"));
    button->setEnabled(false);
    test::enterWidget(button, QPoint(5, 5));
    EXPECT_EQ(nameOf(button->image()), QStringLiteral("mode_collections"));
}

TEST_F(TriStateButtonTest, AMenuOfAButtonAtTheWindowsRightEdgeOpensInsideTheWindow)
{
    menu.addAction(QStringLiteral("An entry wider than the button"));
    button->setMenu(&menu);
    window->resize(500, 200);
    ASSERT_LT(menu.sizeHint().width(), window->width() - 20);
    button->move(window->width() - button->width(), 20);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(20, 20));
    ASSERT_TRUE(test::waitUntil([&] { return menu.isVisible(); }));
    const QRect owner(window->mapToGlobal(QPoint(0, 0)), window->size());
    const QRect anchor(button->mapToGlobal(QPoint(0, 0)), button->size());
    EXPECT_EQ(menu.geometry().right(), anchor.right());
    EXPECT_EQ(menu.geometry().top(), anchor.bottom() + 1 + 4);
    EXPECT_GE(menu.geometry().left(), owner.left());
}

TEST_F(TriStateButtonTest, AClickSendsTheActionThenShowsTheMenuBelowAndClosingItTurnsTheButtonOff)
{
    menu.addAction(QStringLiteral("Collections…"));
    button->setMenu(&menu);
    test::enterWidget(button, QPoint(5, 5));
    button->setState(Cell::On);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(events, (QStringList{"action"}));
    EXPECT_FALSE(menuVisibleAtAction);
    ASSERT_TRUE(test::waitUntil([&] { return menu.isVisible(); }));
    EXPECT_EQ(menu.pos(), button->mapToGlobal(QPoint(0, 44)));
    // Back to the normal look although the mouse is still over it.
    EXPECT_EQ(nameOf(button->image()), QStringLiteral("mode_collections"));
    menu.hide();
    EXPECT_EQ(button->state(), Cell::Off);
}

TEST_F(TriStateButtonTest, ARightClickDoesNothing)
{
    bool contextMenu = false;
    window->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(window.get(), &QWidget::customContextMenuRequested, [&] { contextMenu = true; });
    button->setMenu(&menu);
    menu.addAction(QStringLiteral("Collections…"));
    QTest::mouseClick(button, Qt::RightButton, {}, QPoint(20, 20));
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20), button->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(button, &event);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_FALSE(menu.isVisible());
    EXPECT_FALSE(contextMenu);
}

TEST(RemoveItemButton, AlwaysShowsTheRemoveImages)
{
    QWidget window;
    auto* button = new TQRemoveItemButton(&window);
    button->setGeometry(0, 0, 16, 16);
    button->setImage(ImageRegistry::pixmap(QStringLiteral("close_regular")));
    button->setNormalImage(ImageRegistry::pixmap(QStringLiteral("close_regular")));
    button->awakeFromNib();
    ASSERT_TRUE(test::showAndExpose(&window));
    test::enterWidget(button, QPoint(8, 8));
    EXPECT_EQ(nameOf(button->image()), QStringLiteral("remove_hover"));
    EXPECT_EQ(nameOf(button->alternateImage()), QStringLiteral("remove_active"));
    test::leaveWidget(button);
    EXPECT_EQ(nameOf(button->image()), QStringLiteral("remove_regular"));
}

// A drop delegate that may refuse.
class DropDelegate : public QObject
{
    Q_OBJECT
public:
    bool accepts = true;
    int asked = 0;
    Q_INVOKABLE bool acceptorCanAcceptDraggingInfo(QObject* acceptor, QDropEvent* info)
    {
        ++asked;
        EXPECT_NE(acceptor, nullptr);
        EXPECT_NE(info, nullptr);
        return accepts;
    }
};

class DropButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        window->resize(200, 200);
        button = new TQTriStateDropButton(window.get());
        button->setGeometry(20, 20, 40, 40);
        button->setDroppable(true);
        button->awakeFromNib();
        button->setDelegate(&delegate);
        button->cell()->setAction([this](Cell&) { ++clicks; });
        files.setUrls({QUrl::fromLocalFile(QStringLiteral("/home/ana/report.pdf"))});
        ASSERT_TRUE(test::showAndExpose(window.get()));
    }
    Qt::DropAction enter(QMimeData* data = nullptr, Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction)
    {
        QDragEnterEvent event(QPoint(20, 20), actions, data ? data : &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(button, &event);
        if (!event.isAccepted())
            return Qt::IgnoreAction;
        QDragMoveEvent move(QPoint(21, 20), actions, data ? data : &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(button, &move);
        return move.isAccepted() ? move.dropAction() : Qt::IgnoreAction;
    }
    void leave()
    {
        QDragLeaveEvent event;
        QApplication::sendEvent(button, &event);
    }
    bool drop()
    {
        QDropEvent event(QPointF(20, 20), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(button, &event);
        return event.isAccepted();
    }

    Timing::Override activation{QStringLiteral("dropButtonActivation"), 80};
    DropDelegate delegate;
    std::unique_ptr<QWidget> window;
    TQTriStateDropButton* button = nullptr;
    QMimeData files;
    int clicks = 0;
};

TEST_F(DropButtonTest, AnAcceptedDragRestingOnTheButtonClicksItAfterTheDelayAndAgainWhileItStays)
{
    EXPECT_TRUE(button->acceptDrops());
    EXPECT_EQ(enter(), Qt::CopyAction);
    EXPECT_TRUE(button->hasDruggingProgress());
    EXPECT_TRUE(button->isActivationPending());
    QElapsedTimer elapsed;
    elapsed.start();
    ASSERT_TRUE(test::waitUntil([&] { return clicks == 1; }));
    EXPECT_GE(elapsed.elapsed(), 70);
    // The frame goes with the click and comes back only on a new entry.
    EXPECT_FALSE(button->hasDruggingProgress());
    ASSERT_TRUE(test::waitUntil([&] { return clicks == 2; }));
    EXPECT_FALSE(button->hasDruggingProgress());
    leave();
    EXPECT_FALSE(button->isActivationPending());
    test::letTimePass(200);
    EXPECT_EQ(clicks, 2);
}

TEST_F(DropButtonTest, FilesAreCopiedAndOurOwnItemsMoved)
{
    QMimeData records;
    DragBus::setFileItems(&records, {QStringLiteral("x-tavrel://File/1")});
    EXPECT_EQ(enter(&records, Qt::CopyAction | Qt::MoveAction), Qt::MoveAction);
    leave();
    EXPECT_EQ(enter(&files, Qt::CopyAction | Qt::MoveAction), Qt::CopyAction);
    leave();
}

TEST_F(DropButtonTest, ARefusedDragGetsNoOperationNoFrameAndNeverClicks)
{
    delegate.accepts = false;
    EXPECT_EQ(enter(), Qt::IgnoreAction);
    EXPECT_FALSE(button->hasDruggingProgress());
    EXPECT_FALSE(button->isActivationPending());
    test::letTimePass(200);
    EXPECT_EQ(clicks, 0);
}

TEST_F(DropButtonTest, ADropIsRefusedEvenAfterTheDragWasAcceptedAndLeavingEarlyCancelsTheClick)
{
    enter();
    EXPECT_FALSE(drop());
    EXPECT_FALSE(button->hasDruggingProgress());
    EXPECT_FALSE(button->isActivationPending());
    enter();
    leave();
    test::letTimePass(200);
    EXPECT_EQ(clicks, 0);
}

TEST(DropButton, ANonDroppableButtonTakesNoDrags)
{
    TQTriStateDropButton button;
    button.awakeFromNib();
    EXPECT_FALSE(button.acceptDrops());
}

class DoubleTarget : public QObject
{
    Q_OBJECT
public:
    QStringList received;
    Q_INVOKABLE void openInBrowser() { received << QStringLiteral("double"); }
};

TEST(DoubleActionButton, ATripleClickSendsTheActionOnTheFirstAndThirdClicksAndTheDoubleActionOnTheSecond)
{
    QWidget window;
    auto* button = new TQDoubleActionButton(&window);
    button->setGeometry(10, 10, 80, 20);
    DoubleTarget target;
    button->setTarget(&target);
    button->cell()->setAction([&](Cell&) { target.received << QStringLiteral("action"); });
    button->setDoubleAction(QStringLiteral("openInBrowser"));
    ASSERT_TRUE(test::showAndExpose(&window));
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);

    test::multiClick(button, QPoint(40, 10), 3);
    EXPECT_EQ(target.received, (QStringList{"action", "double", "action"}));

    // Without a target that answers it, a double click is two clicks.
    target.received.clear();
    button->setDoubleAction(QStringLiteral("noSuchMethod"));
    test::multiClick(button, QPoint(40, 10), 2);
    EXPECT_EQ(target.received, (QStringList{"action", "action"}));

    test::enterWidget(button, QPoint(5, 5));
    EXPECT_TRUE(button->hovered());
    button->setEnabled(false);
    EXPECT_NE(button->cursor().shape(), Qt::PointingHandCursor);
    test::leaveWidget(button);
    EXPECT_TRUE(button->hovered());
}

} // namespace
} // namespace tavrel

#include "TriStateButtonTest.moc"
