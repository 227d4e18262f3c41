#pragma once

#include <QPainterPath>
#include <QRectF>

namespace tavrel {

// Paths the design adds to its drawing: the half-rounded rectangle that clips a title band.
class BezierPathExtensions
{
public:
    // The rectangle with round top corners of the radius (arcs around the inset rectangle's top
    // corners) and square bottom corners.
    static QPainterPath halfRoundPathWithRect(const QRectF& rect, qreal radius);
};

} // namespace tavrel
