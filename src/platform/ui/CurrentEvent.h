#pragma once

#include <QEvent>
#include <QObject>
#include <QPointF>
#include <QString>

class QMouseEvent;
class QWidget;

namespace tavrel {

// The application's current event: an application event filter keeps the last input event for the
// code that asks what it was (where the mouse was while a row draws, how many clicks a press made,
// whether the user pressed Escape, which modifiers were down). Clicks are counted here, from the
// events' timestamps and positions: a press of the same button within the double-click interval and
// distance of the previous press counts one more. Main thread only.
class CurrentEvent : public QObject
{
    Q_OBJECT
public:
    // Installs the filter on the application (once).
    static void install();

    // The type of the last input event (QEvent::None before any).
    static QEvent::Type type();
    static bool isMouseEvent();
    static bool isKeyEvent();
    // The clicks of the last press (1, 2, 3 ...), kept until the next press.
    static int clickCount();
    static Qt::MouseButton button();
    static Qt::MouseButtons buttons();
    static Qt::KeyboardModifiers modifiers();
    static int key();
    static QString text();
    static quint64 timestamp();
    // Whether the last event is a key press or release of Escape (a cancel).
    static bool isCancel();

    // The last known mouse position, on the screen and in a widget's coordinates.
    static QPointF globalMousePosition();
    static QPointF mousePosition(const QWidget* widget);

    // Forgets everything (tests).
    static void reset();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CurrentEvent() = default;
    static CurrentEvent& instance();
    void recordMouse(const QMouseEvent* event);
};

} // namespace tavrel
