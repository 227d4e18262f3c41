#include "ControlTestSupport.h"
#include "controls/TQButtonCell.h"
#include "controls/TQHoverdButtonCell.h"
#include "controls/TQStateItemCell.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/ImageRegistry.h"
#include "support/ui/WidgetTesting.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace tavrel {
namespace {

QString nameOf(const QPixmap& pixmap)
{
    return ImageRegistry::nameOf(pixmap);
}

std::shared_ptr<TQHoverdButtonCell> hoverCell()
{
    auto cell = std::make_shared<TQHoverdButtonCell>();
    cell->setRegularImage(ImageRegistry::pixmap(QStringLiteral("icon-edit-regular")));
    cell->setHoverImage(ImageRegistry::pixmap(QStringLiteral("icon-edit-active")));
    return cell;
}

TEST(HoverdButtonCell, ShowsTheHoverImageWhileHoveredOrSelectedAndADisabledCellIgnoresHover)
{
    auto cell = hoverCell();
    EXPECT_EQ(nameOf(cell->image()), QStringLiteral("icon-edit-regular"));
    cell->setHovered(true);
    EXPECT_EQ(nameOf(cell->image()), QStringLiteral("icon-edit-active"));
    cell->setHovered(false);
    EXPECT_EQ(nameOf(cell->image()), QStringLiteral("icon-edit-regular"));

    cell->setEnabled(false);
    cell->setHovered(true);
    EXPECT_FALSE(cell->hovered());
    EXPECT_EQ(nameOf(cell->image()), QStringLiteral("icon-edit-regular"));
    cell->setSelected(true);
    EXPECT_EQ(nameOf(cell->image()), QStringLiteral("icon-edit-active"));
    cell->setSelected(false);
    EXPECT_EQ(nameOf(cell->image()), QStringLiteral("icon-edit-regular"));
}

TEST(HoverdButtonCell, ADoubleClickFallsThroughToTheRowWhenTheCellHasAnAction)
{
    QWidget view;
    view.resize(100, 40);
    ASSERT_TRUE(test::showAndExpose(&view));
    Cell::HitResults seen = 0;
    const QRectF frame(10, 10, 20, 20);
    // Each press is answered from the current event, as a list asks while the press arrives.
    class Probe : public QWidget
    {
    public:
        std::function<void()> onPress;
        void mousePressEvent(QMouseEvent*) override { onPress(); }
    };
    auto* probe = new Probe;
    probe->setParent(&view);
    probe->resize(100, 40);
    probe->show();

    struct Case
    {
        const char* what;
        bool withAction;
        int clicks;
        Cell::HitResults expected;
    };
    const std::vector<Case> cases{
        {"single click with an action", true, 1, Cell::ContentArea | Cell::TrackableArea | Cell::NoSelect},
        {"double click with an action", true, 2, Cell::None},
        {"double click without an action", false, 2,
         Cell::ContentArea | Cell::TrackableArea | Cell::NoSelect},
    };
    for (const Case& c : cases) {
        auto cell = hoverCell();
        if (c.withAction)
            cell->setAction([](Cell&) {});
        probe->onPress = [&] { seen = cell->hitTest(QPointF(15, 15), frame); };
        test::multiClick(probe, QPoint(15, 15), c.clicks);
        EXPECT_EQ(seen, c.expected) << c.what;
    }
    EXPECT_EQ(hoverCell()->hitTest(QPointF(50, 15), frame), Cell::None);
}

TEST(ButtonCell, HighlightsWhileTheMouseIsInsideItsLastFrameUntilRelease)
{
    auto cell = std::make_shared<TQButtonCell>(QStringLiteral("Open"));
    int actions = 0;
    cell->setAction([&](Cell&) { ++actions; });
    QWidget window;
    window.resize(200, 60);
    auto* button = new CellButton(cell, &window);
    button->setGeometry(10, 10, 60, 30);
    ASSERT_TRUE(test::showAndExpose(&window));

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(30, 15));
    EXPECT_EQ(cell->lastFrame(), QRectF(0, 0, 60, 30));
    EXPECT_TRUE(cell->isHighlighted());
    QMouseEvent out(QEvent::MouseMove, QPointF(100, 15), QPointF(button->mapToGlobal(QPoint(100, 15))),
                    Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    qApp->notify(button, &out);
    EXPECT_FALSE(cell->isHighlighted());
    QMouseEvent back(QEvent::MouseMove, QPointF(30, 15), QPointF(button->mapToGlobal(QPoint(30, 15))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    qApp->notify(button, &back);
    EXPECT_TRUE(cell->isHighlighted());
    qApp->notify(button, &out);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(100, 15));
    EXPECT_FALSE(cell->isHighlighted());
    EXPECT_EQ(actions, 0);

    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(30, 15));
    EXPECT_EQ(actions, 1);
}

TEST(StateItemCell, EachStateHasItsImagesOnOffStateAndTrackability)
{
    struct Case
    {
        int itemState;
        const char* image;
        const char* alternate;
        int onOff;
        bool trackable;
    };
    const std::vector<Case> cases{
        {TQStateItemCell::StateNew, "new", "new", Cell::On, true},
        {TQStateItemCell::StateModified, "modified", "modified", Cell::On, false},
        {TQStateItemCell::StateFavoriteOff, "favorite_off", "favorite_on", Cell::Off, true},
        {TQStateItemCell::StateFavoriteOn, "favorite_off", "favorite_on", Cell::On, true},
        {7, "favorite_off", "favorite_on", Cell::On, false},
    };
    TQStateItemCell cell;
    EXPECT_FALSE(cell.trackable());
    // A new item's on/off state is the list's (its star); the others keep what they had.
    cell.setState(Cell::On);
    for (const Case& c : cases) {
        cell.setItemState(c.itemState);
        EXPECT_EQ(cell.itemState(), c.itemState);
        EXPECT_EQ(nameOf(cell.image()), QLatin1String(c.image)) << c.itemState;
        EXPECT_EQ(nameOf(cell.alternateImage()), QLatin1String(c.alternate)) << c.itemState;
        EXPECT_EQ(cell.state(), c.onOff) << c.itemState;
        EXPECT_EQ(cell.trackable(), c.trackable) << c.itemState;
    }
}

TEST(StateItemCell, OnlyATrackableBadgeTurnsIntoTheStarWhileHovered)
{
    TQStateItemCell cell;
    cell.setItemState(TQStateItemCell::StateNew);
    cell.setHovered(true);
    EXPECT_EQ(nameOf(cell.image()), QStringLiteral("favorite_off_hover"));
    EXPECT_EQ(nameOf(cell.alternateImage()), QStringLiteral("favorite_on_hover"));
    // Setting the same state again keeps what hover set.
    cell.setItemState(TQStateItemCell::StateNew);
    EXPECT_EQ(nameOf(cell.image()), QStringLiteral("favorite_off_hover"));
    cell.setHovered(false);
    EXPECT_EQ(nameOf(cell.image()), QStringLiteral("new"));

    // A modified badge drawn after a starred row stays "modified" and takes no hover and no click.
    cell.setItemState(TQStateItemCell::StateFavoriteOn);
    cell.setItemState(TQStateItemCell::StateModified);
    cell.setHovered(true);
    EXPECT_FALSE(cell.hovered());
    EXPECT_EQ(nameOf(cell.image()), QStringLiteral("modified"));
    int clicks = 0;
    cell.setAction([&](Cell&) { ++clicks; });
    QWidget window;
    window.resize(40, 40);
    auto* button = new CellButton(cell.clone(), &window);
    button->setGeometry(0, 0, 16, 16);
    ASSERT_TRUE(test::showAndExpose(&window));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(clicks, 0);
    button->cellAs<TQStateItemCell>()->setItemState(TQStateItemCell::StateFavoriteOff);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(clicks, 1);
    // A momentary badge: the list, not the click, sets the star.
    EXPECT_EQ(button->state(), Cell::Off);
}

TEST(StateItemCell, DrawsTheAlternateImageWhileOnOverItsWholeFrame)
{
    TQStateItemCell cell;
    cell.setImage(test::registerSolid(QStringLiteral("test-badge-off"), Qt::gray, QSize(4, 4)));
    cell.setAlternateImage(test::registerSolid(QStringLiteral("test-badge-on"), Qt::yellow, QSize(4, 4)));
    EXPECT_EQ(test::renderCell(cell, QSize(16, 16)).pixelColor(15, 15), QColor(Qt::gray));
    cell.setState(Cell::On);
    EXPECT_EQ(test::renderCell(cell, QSize(16, 16)).pixelColor(0, 0), QColor(Qt::yellow));
}

} // namespace
} // namespace tavrel
