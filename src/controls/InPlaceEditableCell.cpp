#include "controls/InPlaceEditableCell.h"

#include "platform/ui/Cell.h"

#include <QPainter>
#include <QPainterPath>

namespace tavrel {

InPlaceEditableCell* InPlaceEditableCell::from(Cell* cell)
{
    return dynamic_cast<InPlaceEditableCell*>(cell);
}

void InPlaceEditableCell::drawEditingRing(QPainter& painter, const QRectF& rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    // A soft outer glow and a crisp inner line, in the accent colour.
    painter.setPen(QPen(QColor(0x4A, 0x8B, 0xD4, 90), 3));
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    painter.setPen(QPen(QColor(0x4A, 0x8B, 0xD4), 1));
    painter.drawRoundedRect(rect.adjusted(1.5, 1.5, -1.5, -1.5), 2, 2);
    painter.restore();
}

} // namespace tavrel
