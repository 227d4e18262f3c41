#include "ControlTestSupport.h"
#include "controls/TQImageWellCell.h"
#include "controls/TQSwitchButtonCell.h"
#include "platform/runtime/Timing.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/ImageRegistry.h"
#include "support/WaitUntil.h"
#include "support/ui/LoggingTest.h"
#include "support/ui/WidgetTesting.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace tavrel {
namespace {

// A bar of two switch buttons at the left of a window, as the sidebar holds them.
class SwitchCellTest : public test::LoggingTest
{
protected:
    void SetUp() override
    {
        LoggingTest::SetUp();
        window = std::make_unique<QWidget>();
        window->resize(300, 200);
        bar = new QWidget(window.get());
        bar->setGeometry(10, 20, 60, 120);
        first = addButton(QStringLiteral("AllItemsBack"), 10);
        second = addButton(QStringLiteral("TrashBack"), 60);
        ASSERT_TRUE(test::showAndExpose(window.get()));
        // The cells place their tooltips from where they were drawn.
        window->repaint();
    }
    void TearDown() override
    {
        window.reset();
        LoggingTest::TearDown();
    }
    CellButton* addButton(const QString& key, int y)
    {
        auto cell = std::make_shared<TQSwitchButtonCell>(key);
        cell->setOffImage(ImageRegistry::pixmap(QStringLiteral("mode_all_items")));
        cell->setOnImage(ImageRegistry::pixmap(QStringLiteral("mode_all_items_on")));
        cell->setHighlightImage(ImageRegistry::pixmap(QStringLiteral("mode_all_items_active")));
        auto* button = new CellButton(cell, bar);
        button->setGeometry(10, y, 40, 40);
        return button;
    }
    static TQSwitchButtonCell* cellOf(CellButton* button) { return button->cellAs<TQSwitchButtonCell>(); }

    test::RegisteredPopovers popovers;
    Timing::Override delay{QStringLiteral("switchTooltipDelay"), 150};
    Timing::Override linger{QStringLiteral("switchTooltipLinger"), 150};
    std::unique_ptr<QWidget> window;
    QWidget* bar = nullptr;
    CellButton* first = nullptr;
    CellButton* second = nullptr;
};

TEST_F(SwitchCellTest, ATooltipShowsBesideTheBarAfterTheMouseRests)
{
    test::enterWidget(first, QPoint(20, 20));
    QElapsedTimer elapsed;
    elapsed.start();
    ASSERT_TRUE(test::waitUntil([&] { return !popovers.tooltip.attachments.isEmpty(); }));
    EXPECT_GE(elapsed.elapsed(), 140);
    EXPECT_EQ(popovers.tooltip.labels, (QStringList{QStringLiteral("All Items")}));
    // Four points right of the bar, at the button's middle, in the window.
    EXPECT_EQ(popovers.tooltip.attachments.last().window, window.get());
    EXPECT_EQ(popovers.tooltip.attachments.last().point, QPointF(10 + 60 + 4, 20 + 10 + 20));
}

TEST_F(SwitchCellTest, AShortRestShowsNothing)
{
    test::enterWidget(first, QPoint(20, 20));
    test::letTimePass(50);
    test::leaveWidget(first);
    test::letTimePass(300);
    EXPECT_TRUE(popovers.tooltip.attachments.isEmpty());
}

TEST_F(SwitchCellTest, WhileATooltipIsUpTheNextButtonShowsItsOwnAtOnceAndItLingersAfterLeaving)
{
    test::enterWidget(first, QPoint(20, 20));
    ASSERT_TRUE(test::waitUntil([&] { return popovers.tooltip.visible; }));
    test::leaveWidget(first);
    test::enterWidget(second, QPoint(20, 20));
    // At once: the next turn of the event loop.
    ASSERT_TRUE(test::waitUntil([&] { return popovers.tooltip.labels.size() == 2; }, 100));
    EXPECT_EQ(popovers.tooltip.labels.last(), QStringLiteral("Trash"));

    // Leaving starts the linger; coming back within it keeps the tooltip up.
    test::leaveWidget(second);
    test::letTimePass(50);
    test::enterWidget(second, QPoint(20, 20));
    test::letTimePass(250);
    EXPECT_TRUE(popovers.tooltip.visible);
    test::leaveWidget(second);
    ASSERT_TRUE(test::waitUntil([&] { return !popovers.tooltip.visible; }));
}

TEST_F(SwitchCellTest, APressedButtonShowsItsHighlightImageAndThenItsOnImageAgain)
{
    TQSwitchButtonCell* cell = cellOf(first);
    cell->setState(Cell::On);
    QTest::mousePress(first, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_TRUE(cell->isHighlighted());
    first->repaint();
    EXPECT_EQ(ImageRegistry::nameOf(cell->onImage()), QStringLiteral("mode_all_items_on"));
    QTest::mouseRelease(first, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(cell->lastFrame(), QRectF(0, 0, 40, 40));

    // Drawn pressed: the highlight image in place of the on image, whatever the state.
    const QPixmap on = test::registerSolid(QStringLiteral("test-switch-on"), Qt::blue, QSize(40, 40));
    const QPixmap pressed =
        test::registerSolid(QStringLiteral("test-switch-pressed"), Qt::red, QSize(40, 40));
    TQSwitchButtonCell drawn(QStringLiteral("TrashBack"));
    drawn.setOnImage(on);
    drawn.setHighlightImage(pressed);
    drawn.setState(Cell::On);
    EXPECT_EQ(test::renderCell(drawn, QSize(40, 40)).pixelColor(20, 20), QColor(Qt::blue));
    drawn.setHighlighted(true);
    EXPECT_EQ(test::renderCell(drawn, QSize(40, 40)).pixelColor(20, 20), QColor(Qt::red));
    EXPECT_EQ(ImageRegistry::nameOf(drawn.onImage()), QStringLiteral("test-switch-on"));
}

TEST_F(SwitchCellTest, ATooltipOutsideAShownWindowIsDroppedWithALogLine)
{
    TQSwitchButtonCell* cell = cellOf(first);
    cell->showTooltipAt(QPointF());
    cell->showTooltipAt(QPointF(200, 20));
    EXPECT_TRUE(popovers.tooltip.labels.isEmpty());
    window->hide();
    cell->showTooltipAt(QPointF(20, 20));
    EXPECT_TRUE(popovers.tooltip.labels.isEmpty());
    EXPECT_EQ(logCount("E: Wrong location condition for tooltip"), 1);
}

TEST(ImageWellCell, GenericPicturesGetAWhiteBackingAndTheGlowGoesOverThePicture)
{
    // A picture whose middle is transparent shows what lies behind it there.
    QPixmap ring(20, 20);
    ring.fill(Qt::transparent);
    const auto picture = [&](const QString& name) {
        ImageRegistry::registerPixmap(name, ring);
        return ImageRegistry::pixmap(name);
    };
    TQImageWellCell cell;
    cell.setImage(picture(QStringLiteral("user-test-placeholder")));
    EXPECT_EQ(test::renderCell(cell, QSize(20, 20)).pixelColor(10, 10), QColor(Qt::white));
    // Rounded corners stay clear.
    EXPECT_EQ(test::renderCell(cell, QSize(20, 20)).pixelColor(0, 0).alpha(), 0);

    cell.setImage(picture(QStringLiteral("photo-of-ana")));
    EXPECT_EQ(test::renderCell(cell, QSize(20, 20)).pixelColor(10, 10).alpha(), 0);

    cell.setHasGlow(true);
    EXPECT_GT(test::renderCell(cell, QSize(49, 49)).pixelColor(24, 2).alpha(), 0);
}

} // namespace
} // namespace tavrel
