#include "controls/TQHoveredBackgroundButtonCell.h"

#include <QPainter>

namespace tavrel {

void TQHoveredBackgroundButtonCell::drawInterior(QPainter& painter, const QRectF& frame, CellHost& host)
{
    painter.save();
    drawImage(painter, isHovered() && !isHighlighted() ? m_hoverBackground : m_regularBackground, frame);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame.adjusted(0.5, 0.5, -0.5, -0.5));
    painter.restore();
    BasicButtonCell::drawInterior(painter, frame, host);
}

} // namespace tavrel
