#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPointF>

class QPainter;

namespace tavrel {

// The design's drawing shadows (a colour, an offset and a blur radius), which QPainter lacks: the
// silhouette of a filled or stroked path in the shadow's colour, blurred (three box passes each way,
// close to a Gaussian) and moved by the offset. Offsets are in widget coordinates, y downwards.
class SoftShadow
{
public:
    enum class Shape { Fill, Stroke };

    // Draws the shadow of the path (filled, or stroked with the pen width) under whatever is drawn next.
    static void draw(QPainter& painter, const QPainterPath& path, Shape shape, const QColor& color,
                     const QPointF& offset, qreal blurRadius, qreal penWidth = 1);

    // Blurs a premultiplied image in place: three box passes each way of the radius in pixels, close to
    // a Gaussian of three times that radius. A radius below 1 changes nothing.
    static void blur(QImage& image, int radius);

    // The blurred silhouette for a device pixel ratio, and where its top-left corner goes.
    static QImage render(const QPainterPath& path, Shape shape, const QColor& color, qreal blurRadius,
                         qreal penWidth, qreal devicePixelRatio, QPointF* topLeft);
};

} // namespace tavrel
