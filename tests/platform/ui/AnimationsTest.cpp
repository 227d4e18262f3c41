#include "platform/ui/Animations.h"

#include <QPropertyAnimation>
#include <QSignalSpy>
#include <QTest>
#include <QVariantAnimation>
#include <QWidget>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

TEST(Animations, AtFactorZeroAnAnimationEndsBeforeStartReturns)
{
    ASSERT_EQ(Animations::factor(), 0.0) << "the interface tests run without animation";
    QWidget widget;
    widget.move(0, 0);
    QPropertyAnimation* slide = Animations::property(&widget, "pos", QPoint(120, 0), Animations::kNormal);
    QSignalSpy finished(slide, &QAbstractAnimation::finished);
    Animations::start(slide);
    EXPECT_EQ(widget.pos(), QPoint(120, 0));
    EXPECT_EQ(finished.count(), 1);

    QVariantAnimation* drawer = Animations::variant(0.0, 80.0, Animations::kShort);
    QVariant last;
    QObject::connect(drawer, &QVariantAnimation::valueChanged, [&](const QVariant& v) { last = v; });
    Animations::start(drawer);
    EXPECT_EQ(last.toDouble(), 80.0);

    Animations::fade(&widget, 0.0);
    EXPECT_EQ(Animations::opacity(&widget), 0.0);
}

TEST(Animations, TheFactorScalesTheDesignsDurations)
{
    const Animations::FactorOverride normalSpeed(1.0);
    EXPECT_EQ(Animations::milliseconds(Animations::kNormal), 250);
    EXPECT_EQ(Animations::milliseconds(Animations::kShort), 150);
    {
        const Animations::FactorOverride slow(2.0);
        EXPECT_EQ(Animations::milliseconds(Animations::kShort), 300);
    }
    QWidget widget;
    QPropertyAnimation* slide = Animations::property(&widget, "pos", QPoint(50, 0));
    EXPECT_EQ(slide->duration(), 250);
    Animations::start(slide);
    EXPECT_EQ(slide->state(), QAbstractAnimation::Running);
    EXPECT_TRUE(QTest::qWaitFor([&] { return widget.pos() == QPoint(50, 0); }, 5000));
}

TEST(Animations, CurvesEaseAsNamed)
{
    using Curve = Animations::Curve;
    EXPECT_DOUBLE_EQ(Animations::easingCurve(Curve::Linear).valueForProgress(0.25), 0.25);
    EXPECT_LT(Animations::easingCurve(Curve::EaseIn).valueForProgress(0.5), 0.4);
    EXPECT_GT(Animations::easingCurve(Curve::EaseOut).valueForProgress(0.5), 0.6);
    EXPECT_NEAR(Animations::easingCurve(Curve::EaseInOut).valueForProgress(0.5), 0.5, 0.01);
    for (const Curve curve : {Curve::Linear, Curve::EaseIn, Curve::EaseOut, Curve::EaseInOut})
        EXPECT_NEAR(Animations::easingCurve(curve).valueForProgress(1.0), 1.0, 1e-6);
}

} // namespace
} // namespace tavrel
