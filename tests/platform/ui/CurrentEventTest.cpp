#include "platform/ui/CurrentEvent.h"

#include "support/ui/WidgetTesting.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace tavrel {
namespace {

class CurrentEventTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CurrentEvent::reset();
        widget = std::make_unique<QWidget>();
        widget->resize(200, 100);
        ASSERT_TRUE(test::showAndExpose(widget.get()));
    }
    std::unique_ptr<QWidget> widget;
};

TEST_F(CurrentEventTest, ClicksAreCountedByTimeDistanceAndButton)
{
    const QPoint here(50, 50);
    test::multiClick(widget.get(), here, 3);
    EXPECT_EQ(CurrentEvent::clickCount(), 3);
    EXPECT_EQ(CurrentEvent::button(), Qt::LeftButton);

    test::multiClick(widget.get(), here, 2);
    EXPECT_EQ(CurrentEvent::clickCount(), 2) << "a pause starts a new count";

    // QTest spaces its clicks beyond the double-click interval: each counts one.
    QTest::mouseClick(widget.get(), Qt::LeftButton, {}, here);
    QTest::mouseClick(widget.get(), Qt::LeftButton, {}, here);
    EXPECT_EQ(CurrentEvent::clickCount(), 1);

    test::multiClick(widget.get(), here, 1);
    test::multiClick(widget.get(), here + QPoint(40, 0), 1);
    EXPECT_EQ(CurrentEvent::clickCount(), 1) << "a click elsewhere";

    test::multiClick(widget.get(), here, 1);
    test::multiClick(widget.get(), here, 1, Qt::RightButton);
    EXPECT_EQ(CurrentEvent::clickCount(), 1) << "another button";
}

TEST_F(CurrentEventTest, EscapeIsACancelAndModifiersAreKept)
{
    QTest::keyPress(widget.get(), Qt::Key_Escape);
    EXPECT_TRUE(CurrentEvent::isCancel());
    QTest::keyRelease(widget.get(), Qt::Key_Escape);
    EXPECT_TRUE(CurrentEvent::isCancel());

    QTest::keyPress(widget.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_FALSE(CurrentEvent::isCancel());
    EXPECT_EQ(CurrentEvent::key(), int(Qt::Key_R));
    EXPECT_EQ(CurrentEvent::modifiers(), Qt::ControlModifier);
    QTest::keyRelease(widget.get(), Qt::Key_R, Qt::ControlModifier);

    QTest::mouseClick(widget.get(), Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 10));
    EXPECT_FALSE(CurrentEvent::isCancel()) << "a mouse event after the key";
    EXPECT_EQ(CurrentEvent::key(), 0);
    EXPECT_EQ(CurrentEvent::modifiers(), Qt::ShiftModifier);
}

TEST_F(CurrentEventTest, TheMousePositionIsKnownInAnyWidgetsCoordinates)
{
    auto* child = new QWidget(widget.get());
    child->setGeometry(20, 30, 100, 50);
    child->show();
    test::moveMouse(widget.get(), QPoint(70, 40));
    EXPECT_EQ(CurrentEvent::mousePosition(widget.get()), QPointF(70, 40));
    EXPECT_EQ(CurrentEvent::mousePosition(child), QPointF(50, 10));
    EXPECT_EQ(CurrentEvent::type(), QEvent::MouseMove);
}

} // namespace
} // namespace tavrel
