#pragma once

#include <QPoint>
#include <Qt>

class QWidget;

namespace tavrel::test {

// Shows a top-level widget and waits until it is exposed; answers whether it was.
bool showAndExpose(QWidget* widget);

// Clicks the number of times at a point in quick succession (within the double-click interval and
// distance), each press and release delivered as a spontaneous event as a user's would be. QTest
// spaces its clicks apart so that they never count as one multiple click; this does the opposite.
void multiClick(QWidget* widget, const QPoint& position, int count, Qt::MouseButton button = Qt::LeftButton);

// A mouse move without buttons to a point, delivered as a user's would be (QTest only moves the
// cursor, which reaches the widget only on some platforms).
void moveMouse(QWidget* widget, const QPoint& position);
// The mouse entering and leaving a widget.
void enterWidget(QWidget* widget, const QPoint& position);
void leaveWidget(QWidget* widget);

} // namespace tavrel::test
