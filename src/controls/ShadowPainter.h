#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <functional>

class QPainter;

namespace tavrel {

// The design's drawing shadows (a colour, an offset and a blur radius set on the graphics state),
// which QPainter lacks: what a function paints is drawn over its own silhouette in the shadow's
// colour, blurred and moved by the offset. Offsets are in the widget's coordinates, y growing
// downwards (the design's offset (0, -1), one point down, is QPointF(0, 1) here).
class ShadowPainter
{
public:
    using PaintFunction = std::function<void(QPainter& painter)>;

    // Paints with a shadow; the paint function draws in the painter's coordinates, within the area
    // (what it draws outside is lost). An invalid colour paints without a shadow.
    static void paintWithShadow(QPainter& painter, const QRectF& area, const QColor& color,
                                const QPointF& offset, qreal blurRadius, const PaintFunction& paint);
    // Paints only the shadow of what the function paints.
    static void paintShadow(QPainter& painter, const QRectF& area, const QColor& color, const QPointF& offset,
                            qreal blurRadius, const PaintFunction& paint);

private:
    static void paint(QPainter& painter, const QRectF& area, const QColor& color, const QPointF& offset,
                      qreal blurRadius, const PaintFunction& paint, bool withContent);
};

} // namespace tavrel
