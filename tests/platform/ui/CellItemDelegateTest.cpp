#include "platform/ui/CellItemDelegate.h"

#include "support/ui/WidgetTesting.h"

#include <QListView>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace tavrel {
namespace {

// A row: its left half is plain content, its right half a button; the list's controller sets the
// title for each row and whether the button keeps the row from being selected.
class RowCell : public Cell
{
    TAVREL_CELL(RowCell)
public:
    bool buttonRefusesSelection = false;

    HitResults hitTest(const QPointF& point, const QRectF& frame) const override
    {
        if (!frameContains(frame, point))
            return None;
        if (point.x() < frame.center().x())
            return ContentArea;
        return ContentArea | TrackableArea | (buttonRefusesSelection ? NoSelect : None);
    }
};

class CellItemDelegateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        list = std::make_unique<QListView>();
        model =
            new QStringListModel({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, list.get());
        list->setModel(model);
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->resize(200, 150);
        row.setAction([this](Cell& sender) { clickedTitles.append(sender.title()); });
        delegate = new CellItemDelegate(list.get(), [this](const QModelIndex& index) -> Cell* {
            ++configured;
            row.setTitle(index.data().toString());
            row.setHovered(index.row() == delegate->hoveredRow());
            return &row;
        });
        list->setUniformItemSizes(true);
        ASSERT_TRUE(test::showAndExpose(list.get()));
    }
    QRect rectOf(int r) const { return list->visualRect(model->index(r, 0)); }
    QPoint buttonOf(int r) const { return QPoint(rectOf(r).right() - 5, rectOf(r).center().y()); }
    QPoint contentOf(int r) const { return QPoint(rectOf(r).left() + 5, rectOf(r).center().y()); }
    int selectedRow() const
    {
        const QModelIndexList selected = list->selectionModel()->selectedIndexes();
        return selected.size() == 1 ? selected.first().row() : selected.isEmpty() ? -1 : -2;
    }

    std::unique_ptr<QListView> list;
    QStringListModel* model = nullptr;
    CellItemDelegate* delegate = nullptr;
    RowCell row;
    int configured = 0;
    QStringList clickedTitles;
};

TEST_F(CellItemDelegateTest, ATrackableClickActsOnACopyOfItsRowsCell)
{
    for (const bool refusesSelection : {false, true}) {
        SCOPED_TRACE(refusesSelection);
        list->selectionModel()->clearSelection();
        clickedTitles.clear();
        row.buttonRefusesSelection = refusesSelection;
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, buttonOf(1));
        ASSERT_EQ(delegate->trackedRow(), 1);
        // Drawing other rows reconfigures the list's cell; the tracked copy keeps row 1.
        delegate->cellForIndex(model->index(2, 0));
        EXPECT_EQ(delegate->trackingCell()->title(), QStringLiteral("b"));
        EXPECT_TRUE(delegate->trackingCell()->isHighlighted());
        EXPECT_FALSE(row.isHighlighted());
        EXPECT_EQ(delegate->cellForIndex(model->index(1, 0)), delegate->trackingCell());
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, buttonOf(1));
        EXPECT_EQ(clickedTitles, QStringList{QStringLiteral("b")});
        EXPECT_EQ(delegate->trackedRow(), -1);
        EXPECT_EQ(selectedRow(), refusesSelection ? -1 : 1);
    }
}

TEST_F(CellItemDelegateTest, PlainContentIsLeftToTheList)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, contentOf(2));
    EXPECT_EQ(selectedRow(), 2);
    EXPECT_TRUE(clickedTitles.isEmpty());
    EXPECT_EQ(delegate->trackedRow(), -1);
}

TEST_F(CellItemDelegateTest, ARowRemovedWhileTrackedEndsTheTrackingWithoutAnAction)
{
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, buttonOf(1));
    ASSERT_EQ(delegate->trackedRow(), 1);
    model->removeRows(1, 1);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, buttonOf(1));
    EXPECT_TRUE(clickedTitles.isEmpty());
    EXPECT_EQ(delegate->trackedRow(), -1);
}

TEST_F(CellItemDelegateTest, TheHoveredRowFollowsTheMouseAndTheCellsSeeItWhileDrawing)
{
    QSignalSpy changes(delegate, &CellItemDelegate::hoveredRowChanged);
    test::moveMouse(list->viewport(), contentOf(0));
    EXPECT_EQ(delegate->hoveredRow(), 0);
    test::moveMouse(list->viewport(), contentOf(0) + QPoint(3, 0));
    EXPECT_EQ(changes.count(), 1); // a move within the row changes nothing
    test::moveMouse(list->viewport(), contentOf(2));
    EXPECT_EQ(delegate->hoveredRow(), 2);
    EXPECT_TRUE(delegate->cellForIndex(model->index(2, 0))->isHovered());
    EXPECT_FALSE(delegate->cellForIndex(model->index(0, 0))->isHovered());
    test::leaveWidget(list->viewport());
    EXPECT_EQ(delegate->hoveredRow(), -1);
    ASSERT_EQ(changes.count(), 3);
    EXPECT_EQ(changes.last().at(1).toInt(), 2);
}

TEST_F(CellItemDelegateTest, AClickPolicyDecidesWhatAPressDoes)
{
    delegate->setClickPolicy(
        [](const QModelIndex&, Cell::HitResults) { return CellItemDelegate::Press::Ignore; });
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, contentOf(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, buttonOf(1));
    EXPECT_EQ(selectedRow(), -1);
    EXPECT_TRUE(clickedTitles.isEmpty());
}

} // namespace
} // namespace tavrel
