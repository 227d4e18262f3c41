#include "ControlTestSupport.h"
#include "controls/TQSwitchButton.h"
#include "controls/TQTriSwitchButton.h"
#include "platform/ui/Animations.h"
#include "support/WaitUntil.h"
#include "support/ui/LoggingTest.h"
#include "support/ui/WidgetTesting.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

void send(QWidget* widget, QEvent::Type type, const QPointF& point)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, point, widget->mapToGlobal(point), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// A press, moves through the points and a release at the last one.
void gesture(QWidget* widget, const QList<QPointF>& points)
{
    send(widget, QEvent::MouseButtonPress, points.first());
    for (qsizetype i = 1; i < points.size(); ++i)
        send(widget, QEvent::MouseMove, points[i]);
    send(widget, QEvent::MouseButtonRelease, points.last());
}

class SwitchButtonTest : public test::LoggingTest
{
protected:
    template <typename T> T* make(int width, int state)
    {
        window = std::make_unique<QWidget>();
        window->resize(200, 60);
        auto* button = new T(window.get());
        button->setGeometry(10, 10, width, 28);
        button->setCellState(state);
        QObject::connect(button, &TQSwitchButton::activated,
                         [this, button] { actions.append(button->state()); });
        EXPECT_TRUE(test::showAndExpose(window.get()));
        return button;
    }
    std::unique_ptr<QWidget> window;
    QList<int> actions;
};

class TwoPositionSwitchTest : public SwitchButtonTest
{
protected:
    Animations::FactorOverride instant{0};
};

TEST_F(TwoPositionSwitchTest, MouseSequences)
{
    // 80 wide: the knob is 39 wide, at x 2 (off), 39 (on), 20.5 (mixed).
    const struct
    {
        const char* what;
        int state;
        QList<QPointF> points;
        int expected;
        QList<int> actions;
    } cases[] = {
        {"a click on the knob toggles", 0, {{20, 14}}, 1, {1}},
        {"a click on the knob toggles back", 1, {{60, 14}}, 0, {0}},
        {"a press on the knob released on its own half", 0, {{20, 14}, {25, 14}, {30, 14}}, 0, {}},
        {"a drag to the other half", 0, {{20, 14}, {50, 14}, {70, 14}}, 1, {1}},
        {"a drag there and back", 0, {{20, 14}, {70, 14}, {10, 14}}, 0, {1, 0}},
        {"a click on the track chooses its side", 0, {{70, 14}}, 1, {1}},
        {"a release outside keeps where the drag left it", 0, {{20, 14}, {70, 14}, {70, 90}}, 1, {1}},
        {"mixed: a click off the knob does nothing", -1, {{70, 14}}, -1, {}},
        {"mixed: a drag does nothing", -1, {{5, 14}, {70, 14}}, -1, {}},
        {"mixed: a click on the centred knob makes it on", -1, {{40, 14}}, 1, {1}},
    };
    for (const auto& c : cases) {
        actions.clear();
        auto* button = make<TQSwitchButton>(80, c.state);
        gesture(button, c.points);
        EXPECT_EQ(button->state(), c.expected) << c.what;
        EXPECT_EQ(actions, c.actions) << c.what;
        const qreal knob = c.expected == 0 ? 2 : c.expected == 1 ? 39 : 20.5;
        EXPECT_EQ(button->knobFrame().x(), knob) << c.what;
        EXPECT_FALSE(button->knobActive()) << c.what;
    }
}

TEST_F(TwoPositionSwitchTest, KnobLooksAndDirectStates)
{
    auto* button = make<TQSwitchButton>(80, 0);
    send(button, QEvent::MouseButtonPress, {20, 14});
    EXPECT_TRUE(button->knobActive());
    EXPECT_EQ(button->knobFace(), QStringLiteral("button_edit"));
    send(button, QEvent::MouseMove, {20, 90});
    EXPECT_FALSE(button->knobActive());
    send(button, QEvent::MouseButtonRelease, {20, 90});

    // An owner showing a state: the knob jumps, nothing is sent.
    button->setCellState(1);
    button->synchronizeState();
    EXPECT_EQ(button->knobFrame().x(), 39);
    EXPECT_EQ(button->knobFace(), QStringLiteral("button_view"));
    EXPECT_TRUE(actions.isEmpty());
    // Disabled: the mouse does nothing.
    button->setEnabled(false);
    gesture(button, {{60, 14}});
    EXPECT_EQ(button->state(), 1);
    EXPECT_TRUE(actions.isEmpty());
}

TEST_F(SwitchButtonTest, ASwitchShownOnSlidesItsKnobThere)
{
    Animations::FactorOverride normal{1};
    auto* on = make<TQSwitchButton>(80, 1);
    // It starts on the left and slides right over a quarter of a second.
    EXPECT_LT(on->knobFrame().x(), 39);
    QElapsedTimer elapsed;
    elapsed.start();
    ASSERT_TRUE(test::waitUntil([&] { return on->knobFrame().x() == 39; }));
    EXPECT_GE(elapsed.elapsed(), 150);
    auto* off = make<TQSwitchButton>(80, 0);
    EXPECT_EQ(off->knobFrame().x(), 2);
}

TEST_F(SwitchButtonTest, FacesAreComposedOncePerNameAndFlag)
{
    const QPixmap first =
        TQSwitchButton::imageNamed(QStringLiteral("button_view"), true, QRectF(0, 0, 39, 24));
    const QPixmap second =
        TQSwitchButton::imageNamed(QStringLiteral("button_view"), true, QRectF(0, 0, 60, 30));
    EXPECT_EQ(first.cacheKey(), second.cacheKey());
    const QPixmap regular =
        TQSwitchButton::imageNamed(QStringLiteral("button_view"), false, QRectF(0, 0, 39, 24));
    EXPECT_NE(regular.cacheKey(), first.cacheKey());
    EXPECT_FALSE(TQSwitchButton::imageNamed(QString(), false, QRectF(0, 0, 39, 24)).isNull());
}

class ThreePositionSwitchTest : public SwitchButtonTest
{
protected:
    Animations::FactorOverride instant{0};
    Timing::Override delay{QStringLiteral("triSwitchActionDelay"), 60};
};

TEST_F(ThreePositionSwitchTest, ThirdsAndTheDelayedAction)
{
    // 100 wide: thirds of 34, the knob 34 wide at x 2, 33 and 64.
    const struct
    {
        const char* what;
        int state;
        QList<QPointF> points;
        int expected;
    } cases[] = {
        {"a release in the right third", 0, {{90, 14}}, -1},
        {"a release in the centre", 0, {{50, 14}}, 1},
        {"a drag across all thirds", 0, {{10, 14}, {50, 14}, {90, 14}}, -1},
        {"a click on the knob changes nothing", 1, {{50, 14}}, 1},
        {"where the left and centre thirds overlap, left wins", -1, {{33.5, 14}}, 0},
        {"where the centre and right thirds overlap, centre wins", 0, {{66.5, 14}}, 1},
    };
    for (const auto& c : cases) {
        actions.clear();
        auto* button = make<TQTriSwitchButton>(100, c.state);
        gesture(button, c.points);
        EXPECT_EQ(button->state(), c.expected) << c.what;
        EXPECT_TRUE(actions.isEmpty()) << c.what;
        ASSERT_TRUE(test::waitUntil([&] { return !actions.isEmpty(); })) << c.what;
        test::letTimePass(100);
        EXPECT_EQ(actions, QList<int>{c.expected}) << c.what;
        const qreal knob = c.expected == 0 ? 2 : c.expected == 1 ? 33 : 64;
        EXPECT_EQ(button->knobFrame().x(), knob) << c.what;
    }
}

TEST_F(ThreePositionSwitchTest, StatesFromCodeSendNothing)
{
    auto* button = make<TQTriSwitchButton>(100, 0);
    button->setState(1);
    EXPECT_EQ(button->knobFrame().x(), 33);
    EXPECT_EQ(button->knobFace(), QStringLiteral("button_view"));
    button->setState(-1);
    EXPECT_EQ(button->knobFace(), QStringLiteral("button_comment"));
    test::letTimePass(120);
    EXPECT_TRUE(actions.isEmpty());
    EXPECT_EQ(TQTriSwitchButton::third(100), 34);
}

} // namespace
} // namespace tavrel
