#include "platform/ui/CellButton.h"
#include "support/ui/WidgetTesting.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace tavrel {
namespace {

// A trackable cell that counts its actions and remembers the click counts it was pressed with.
class RecordingCell : public Cell
{
    TAVREL_CELL(RecordingCell)
public:
    explicit RecordingCell(bool untilMouseUp = true) : m_untilMouseUp(untilMouseUp)
    {
        setTrackable(true);
        setAction([this](Cell&) { ++actions; });
    }
    bool prefersTrackingUntilMouseUp() const override { return m_untilMouseUp; }
    bool mousePressed(const CellMouseEvent& event, const QRectF& frame, CellHost& host) override
    {
        clickCounts.push_back(event.clickCount);
        return Cell::mousePressed(event, frame, host);
    }

    int actions = 0;
    std::vector<int> clickCounts;

private:
    bool m_untilMouseUp = true;
};

// Two subcells side by side: the mouse goes to the one under it, as the composite row cells do.
class SplitCell : public Cell
{
    TAVREL_CELL(SplitCell)
public:
    SplitCell() : left(std::make_shared<RecordingCell>()), right(std::make_shared<RecordingCell>()) {}

    HitResults hitTest(const QPointF& point, const QRectF& frame) const override
    {
        const auto [cell, subframe] = partAt(point, frame);
        return cell->hitTest(point, subframe);
    }
    bool mousePressed(const CellMouseEvent& event, const QRectF& frame, CellHost& host) override
    {
        const auto [cell, subframe] = partAt(event.position, frame);
        m_tracked = cell;
        return cell->mousePressed(event, subframe, host);
    }
    void mouseDragged(const CellMouseEvent& event, CellHost& host) override
    {
        m_tracked->mouseDragged(event, host);
    }
    bool mouseReleased(const CellMouseEvent& event, CellHost& host) override
    {
        return m_tracked->mouseReleased(event, host);
    }

    std::shared_ptr<RecordingCell> left;
    std::shared_ptr<RecordingCell> right;

private:
    std::pair<std::shared_ptr<RecordingCell>, QRectF> partAt(const QPointF& point, const QRectF& frame) const
    {
        const QRectF leftFrame(frame.x(), frame.y(), frame.width() / 2, frame.height());
        if (frameContains(leftFrame, point))
            return {left, leftFrame};
        return {right, QRectF(leftFrame.right(), frame.y(), frame.width() / 2, frame.height())};
    }
    std::shared_ptr<RecordingCell> m_tracked;
};

class CellTrackingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        window->resize(300, 100);
        button = new CellButton(std::make_shared<RecordingCell>(), window.get());
        button->setGeometry(10, 10, 100, 30);
        ASSERT_TRUE(test::showAndExpose(window.get()));
    }
    RecordingCell& cell() { return *button->cellAs<RecordingCell>(); }

    const QPoint inside{50, 15};
    const QPoint outside{150, 15};
    std::unique_ptr<QWidget> window;
    CellButton* button = nullptr;
};

enum class At { Inside, Outside };
struct Step
{
    QEvent::Type type;
    At at;
    bool highlightedAfter;
};
struct TrackingPath
{
    const char* name;
    bool untilMouseUp;
    std::vector<Step> steps;
    int actions;
};

TEST_F(CellTrackingTest, PressMoveReleaseHighlightsWhileInsideAndActsOnReleaseInside)
{
    const std::vector<TrackingPath> paths{
        {"click",
         true,
         {{QEvent::MouseButtonPress, At::Inside, true}, {QEvent::MouseButtonRelease, At::Inside, false}},
         1},
        {"leave and come back",
         true,
         {{QEvent::MouseButtonPress, At::Inside, true},
          {QEvent::MouseMove, At::Outside, false},
          {QEvent::MouseMove, At::Inside, true},
          {QEvent::MouseButtonRelease, At::Inside, false}},
         1},
        {"release outside",
         true,
         {{QEvent::MouseButtonPress, At::Inside, true},
          {QEvent::MouseMove, At::Outside, false},
          {QEvent::MouseButtonRelease, At::Outside, false}},
         0},
        {"tracking that stops at the frame's edge does not resume",
         false,
         {{QEvent::MouseButtonPress, At::Inside, true},
          {QEvent::MouseMove, At::Outside, false},
          {QEvent::MouseMove, At::Inside, false},
          {QEvent::MouseButtonRelease, At::Inside, false}},
         0},
    };
    for (const TrackingPath& path : paths) {
        SCOPED_TRACE(path.name);
        button->setCell(std::make_shared<RecordingCell>(path.untilMouseUp));
        QSignalSpy clicked(button, &QAbstractButton::clicked);
        for (const Step& step : path.steps) {
            const QPoint point = step.at == At::Inside ? inside : outside;
            if (step.type == QEvent::MouseButtonPress)
                QTest::mousePress(button, Qt::LeftButton, {}, point);
            else if (step.type == QEvent::MouseMove)
                QTest::mouseMove(button, point);
            else
                QTest::mouseRelease(button, Qt::LeftButton, {}, point);
            EXPECT_EQ(cell().isHighlighted(), step.highlightedAfter);
        }
        EXPECT_EQ(cell().actions, path.actions);
        EXPECT_EQ(clicked.count(), path.actions);
        EXPECT_FALSE(cell().isTracking());
    }
}

TEST_F(CellTrackingTest, NothingTracksWithoutATrackableAreaOrWhileDisabled)
{
    cell().setTrackable(false);
    QTest::mouseClick(button, Qt::LeftButton, {}, inside);
    EXPECT_EQ(cell().actions, 0);
    EXPECT_TRUE(cell().clickCounts.empty());

    cell().setTrackable(true);
    button->setEnabled(false);
    EXPECT_FALSE(cell().isEnabled()); // the cell follows its button
    QTest::mouseClick(button, Qt::LeftButton, {}, inside);
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(cell().actions, 0);

    button->setEnabled(true);
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(cell().actions, 1);
}

TEST_F(CellTrackingTest, HitTestAnswersByFrameTrackabilityAndEnabledState)
{
    struct Row
    {
        bool trackable;
        bool enabled;
        QPointF point;
        Cell::HitResults expected;
    };
    const QRectF frame(10, 10, 40, 20);
    const std::vector<Row> rows{
        {true, true, {20, 20}, Cell::ContentArea | Cell::TrackableArea},
        {true, false, {20, 20}, Cell::ContentArea},
        {false, true, {20, 20}, Cell::ContentArea},
        {true, true, {5, 20}, Cell::None},
        {true, true, {50, 30}, Cell::None}, // the far edges lie outside
    };
    for (const Row& row : rows) {
        RecordingCell probe;
        probe.setTrackable(row.trackable);
        probe.setEnabled(row.enabled);
        EXPECT_EQ(probe.hitTest(row.point, frame), row.expected)
            << row.trackable << row.enabled << row.point.x() << "," << row.point.y();
    }
}

TEST_F(CellTrackingTest, HoverFollowsEnterAndLeaveOnlyWhileEnabled)
{
    test::enterWidget(button, inside);
    EXPECT_TRUE(cell().isHovered());
    test::leaveWidget(button);
    EXPECT_FALSE(cell().isHovered());

    test::enterWidget(button, inside);
    button->setEnabled(false);
    test::leaveWidget(button);
    EXPECT_TRUE(cell().isHovered()); // stays hovered until an exit while enabled
}

TEST_F(CellTrackingTest, QuickClicksReachTheCellWithTheirClickCount)
{
    test::multiClick(button, inside, 3);
    EXPECT_EQ(cell().clickCounts, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(cell().actions, 3);
}

TEST_F(CellTrackingTest, CompositeCellPassesTheClickToThePartUnderTheMouseAndCopiesShareParts)
{
    auto split = std::make_shared<SplitCell>();
    button->setCell(split);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(80, 15));
    EXPECT_EQ(split->left->actions, 0);
    EXPECT_EQ(split->right->actions, 1);
    // Pressing one part and releasing over the other is a release outside the pressed part.
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 15));
    QTest::mouseMove(button, QPoint(80, 15));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(80, 15));
    EXPECT_EQ(split->left->actions, 0);
    EXPECT_EQ(split->right->actions, 1);

    const std::unique_ptr<Cell> copy = split->clone();
    auto* splitCopy = dynamic_cast<SplitCell*>(copy.get());
    ASSERT_NE(splitCopy, nullptr);
    EXPECT_EQ(splitCopy->left, split->left);
    EXPECT_EQ(splitCopy->right, split->right);
}

TEST_F(CellTrackingTest, AnActionThatReplacesTheCellEndsTheClickOnTheCellThatTracked)
{
    auto first = std::static_pointer_cast<RecordingCell>(button->sharedCell());
    auto second = std::make_shared<RecordingCell>();
    first->setAction([&](Cell&) {
        ++first->actions;
        button->setCell(second);
    });
    QTest::mouseClick(button, Qt::LeftButton, {}, inside);
    EXPECT_EQ(first->actions, 1);
    EXPECT_FALSE(first->isHighlighted());
    EXPECT_EQ(button->cell(), second.get());
    QTest::mouseClick(button, Qt::LeftButton, {}, inside);
    EXPECT_EQ(second->actions, 1);
}

} // namespace
} // namespace tavrel
