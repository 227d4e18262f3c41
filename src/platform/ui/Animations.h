#pragma once

#include <QByteArray>
#include <QEasingCurve>
#include <QVariant>

class QAbstractAnimation;
class QObject;
class QPropertyAnimation;
class QVariantAnimation;
class QWidget;

namespace tavrel {

// Every animation of the interface, made with the design's durations and curves and scaled by one
// global factor: tests set it to 0, and an animation started then reaches its end value and finishes
// before start() returns.
class Animations
{
public:
    // The design's durations, in seconds.
    static constexpr double kShort = 0.15;  // row overlay bar, flyer fade, floating window drawer
    static constexpr double kNormal = 0.25; // navigation slides, title bar and search strip, banner fade

    // The timing curves of the design.
    enum class Curve { Linear, EaseIn, EaseOut, EaseInOut };
    static QEasingCurve easingCurve(Curve curve);

    static double factor();
    static void setFactor(double factor);
    // Sets the factor for its own lifetime.
    class FactorOverride
    {
    public:
        explicit FactorOverride(double factor);
        ~FactorOverride();
        FactorOverride(const FactorOverride&) = delete;
        FactorOverride& operator=(const FactorOverride&) = delete;

    private:
        double m_previous;
    };

    // A duration in seconds as scaled milliseconds (0 at factor 0; the animations made here last at
    // least 1 ms, which start() skips at factor 0).
    static int milliseconds(double seconds);

    // Animations from the current value to the end value; not started. The parent owns them (the
    // target for a property animation when no parent is given).
    static QPropertyAnimation* property(QObject* target, const QByteArray& propertyName,
                                        const QVariant& endValue, double seconds = kNormal,
                                        Curve curve = Curve::EaseInOut, QObject* parent = nullptr);
    static QVariantAnimation* variant(const QVariant& startValue, const QVariant& endValue,
                                      double seconds = kNormal, Curve curve = Curve::EaseInOut,
                                      QObject* parent = nullptr);
    // Starts an animation that deletes itself when it stops. With the factor at 0 it has finished
    // (end value set, finished() emitted) when this returns.
    static void start(QAbstractAnimation* animation);

    // A widget's opacity (through an opacity effect installed on first use; 1 without one). A widget
    // made (or faded to) fully opaque loses its effect: painted through one, scroll areas stay black.
    static double opacity(const QWidget* widget);
    static void setOpacity(QWidget* widget, double opacity);
    // A started fade of the widget's opacity to the value.
    static QPropertyAnimation* fade(QWidget* widget, double toOpacity, double seconds = kShort,
                                    Curve curve = Curve::EaseInOut);
};

} // namespace tavrel
