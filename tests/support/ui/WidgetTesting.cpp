#include "support/ui/WidgetTesting.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

namespace tavrel::test {

bool showAndExpose(QWidget* widget)
{
    widget->show();
    return QTest::qWaitForWindowExposed(widget);
}

namespace {
void sendMouse(QWidget* widget, QEvent::Type type, const QPoint& position, Qt::MouseButton button,
               Qt::MouseButtons buttons, int timestamp)
{
    QMouseEvent event(type, QPointF(position), QPointF(widget->mapToGlobal(position)), button, buttons,
                      Qt::NoModifier, QPointingDevice::primaryPointingDevice());
    event.setTimestamp(ulong(timestamp));
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(widget, &event);
}
} // namespace

void multiClick(QWidget* widget, const QPoint& position, int count, Qt::MouseButton button)
{
    // Continue QTest's clock so that its own later events stay in order.
    int timestamp = QTest::lastMouseTimestamp + QTest::mouseDoubleClickInterval;
    for (int i = 0; i < count; ++i) {
        sendMouse(widget, QEvent::MouseButtonPress, position, button, button, timestamp += 10);
        sendMouse(widget, QEvent::MouseButtonRelease, position, button, Qt::NoButton, timestamp += 10);
    }
    QTest::lastMouseTimestamp = timestamp + QTest::mouseDoubleClickInterval;
}

void moveMouse(QWidget* widget, const QPoint& position)
{
    sendMouse(widget, QEvent::MouseMove, position, Qt::NoButton, Qt::NoButton, ++QTest::lastMouseTimestamp);
}

void enterWidget(QWidget* widget, const QPoint& position)
{
    const QPointF local(position);
    QEnterEvent event(local, local, widget->mapToGlobal(local));
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(widget, &event);
}

void leaveWidget(QWidget* widget)
{
    QEvent event(QEvent::Leave);
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(widget, &event);
}

} // namespace tavrel::test
