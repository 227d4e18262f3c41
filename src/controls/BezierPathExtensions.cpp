#include "controls/BezierPathExtensions.h"

namespace tavrel {

QPainterPath BezierPathExtensions::halfRoundPathWithRect(const QRectF& rect, qreal radius)
{
    QPainterPath path;
    path.moveTo(rect.left(), rect.bottom());
    path.lineTo(rect.right(), rect.bottom());
    // Arcs around the corners of the rectangle inset by the radius: top right from 0 to 90 degrees,
    // top left from 90 to 180.
    const QSizeF diameter(2 * radius, 2 * radius);
    path.arcTo(QRectF(QPointF(rect.right() - 2 * radius, rect.top()), diameter), 0, 90);
    path.arcTo(QRectF(rect.topLeft(), diameter), 90, 90);
    path.closeSubpath();
    return path;
}

} // namespace tavrel
