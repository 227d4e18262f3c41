#include "platform/ui/Animations.h"

#include <QGraphicsOpacityEffect>
#include <QPointer>
#include <QPropertyAnimation>
#include <QVariantAnimation>
#include <QWidget>
#include <atomic>
#include <cmath>

namespace tavrel {

namespace {
std::atomic<double> g_factor{1.0};

QGraphicsOpacityEffect* opacityEffect(QWidget* widget, bool create)
{
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(widget->graphicsEffect());
    if (!effect && create) {
        effect = new QGraphicsOpacityEffect(widget);
        effect->setOpacity(1.0);
        widget->setGraphicsEffect(effect);
    }
    return effect;
}
} // namespace

QEasingCurve Animations::easingCurve(Curve curve)
{
    // The standard cubic timing functions of the design's animations.
    const auto bezier = [](QPointF c1, QPointF c2) {
        QEasingCurve easing(QEasingCurve::BezierSpline);
        easing.addCubicBezierSegment(c1, c2, QPointF(1, 1));
        return easing;
    };
    switch (curve) {
    case Curve::Linear:
        return QEasingCurve(QEasingCurve::Linear);
    case Curve::EaseIn:
        return bezier({0.42, 0.0}, {1.0, 1.0});
    case Curve::EaseOut:
        return bezier({0.0, 0.0}, {0.58, 1.0});
    case Curve::EaseInOut:
        break;
    }
    return bezier({0.42, 0.0}, {0.58, 1.0});
}

double Animations::factor()
{
    return g_factor.load();
}

void Animations::setFactor(double factor)
{
    g_factor.store(qMax(0.0, factor));
}

Animations::FactorOverride::FactorOverride(double factor) : m_previous(Animations::factor())
{
    setFactor(factor);
}

Animations::FactorOverride::~FactorOverride()
{
    setFactor(m_previous);
}

int Animations::milliseconds(double seconds)
{
    return qMax(0, int(std::lround(seconds * 1000.0 * factor())));
}

namespace {
// At least a millisecond: a zero-length animation takes its end value while it is made, before
// anyone is connected to hear it; start() runs it to the end instead.
int animationDuration(double seconds)
{
    return qMax(1, Animations::milliseconds(seconds));
}
} // namespace

QPropertyAnimation* Animations::property(QObject* target, const QByteArray& propertyName,
                                         const QVariant& endValue, double seconds, Curve curve,
                                         QObject* parent)
{
    auto* animation = new QPropertyAnimation(target, propertyName, parent ? parent : target);
    animation->setDuration(animationDuration(seconds));
    animation->setEndValue(endValue);
    animation->setEasingCurve(easingCurve(curve));
    return animation;
}

QVariantAnimation* Animations::variant(const QVariant& startValue, const QVariant& endValue, double seconds,
                                       Curve curve, QObject* parent)
{
    auto* animation = new QVariantAnimation(parent);
    animation->setStartValue(startValue);
    animation->setDuration(animationDuration(seconds));
    animation->setEndValue(endValue);
    animation->setEasingCurve(easingCurve(curve));
    return animation;
}

void Animations::start(QAbstractAnimation* animation)
{
    if (!animation)
        return;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    // Whatever duration it was made with: at factor 0 it jumps to its end now (values, finished()),
    // so nothing waits for a timer.
    if (factor() == 0.0 && animation->state() != QAbstractAnimation::Stopped &&
        animation->totalDuration() >= 0)
        animation->setCurrentTime(animation->totalDuration());
}

double Animations::opacity(const QWidget* widget)
{
    const auto* effect =
        widget ? qobject_cast<const QGraphicsOpacityEffect*>(widget->graphicsEffect()) : nullptr;
    return effect ? effect->opacity() : 1.0;
}

void Animations::setOpacity(QWidget* widget, double opacity)
{
    if (!widget)
        return;
    // Fully opaque needs no effect (see fade).
    if (opacity >= 1.0) {
        if (opacityEffect(widget, false))
            widget->setGraphicsEffect(nullptr);
        return;
    }
    opacityEffect(widget, true)->setOpacity(opacity);
}

QPropertyAnimation* Animations::fade(QWidget* widget, double toOpacity, double seconds, Curve curve)
{
    QGraphicsOpacityEffect* effect = opacityEffect(widget, true);
    QPropertyAnimation* animation = property(effect, "opacity", toOpacity, seconds, curve, widget);
    // Fully shown, a widget paints itself again: an effect kept on it renders it (and its children)
    // through a pixmap, which leaves scroll areas black and stale on X.
    if (toOpacity >= 1.0)
        QObject::connect(
            animation, &QAbstractAnimation::finished, widget, [widget = QPointer<QWidget>(widget)] {
                QMetaObject::invokeMethod(
                    widget,
                    [widget] {
                        if (widget && Animations::opacity(widget) >= 1.0 && widget->graphicsEffect())
                            widget->setGraphicsEffect(nullptr);
                    },
                    Qt::QueuedConnection);
            });
    start(animation);
    return animation;
}

} // namespace tavrel
