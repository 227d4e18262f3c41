#include "controls/TQShadowedLabelCell.h"

#include "controls/ShadowPainter.h"
#include "platform/ui/CellHost.h"
#include "platform/ui/Drawing.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace tavrel {

namespace {
// A text field's text sits two points in from its sides.
constexpr qreal kTextInset = 2;
} // namespace

void TQShadowedLabelCell::paint(QPainter& painter, const QRectF& frame, CellHost& host)
{
    QColor color = textColor();
    if (!color.isValid()) {
        const QWidget* view = host.hostWidget();
        color = (view ? view->palette() : QApplication::palette()).color(QPalette::WindowText);
    }
    const QRectF textRect = frame.adjusted(kTextInset, 0, -kTextInset, 0);
    ShadowPainter::paintWithShadow(painter, frame, titleShadowColor(), QPointF(0, 1), 1, [&](QPainter& p) {
        Drawing::drawText(p, textRect, title(), font(), color, Qt::AlignLeft | Qt::AlignVCenter);
    });
}

} // namespace tavrel
