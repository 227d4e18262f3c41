#include "controls/ShadowPainter.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <cmath>

namespace tavrel {

namespace {

// Three passes of a box blur come close to a gaussian; the radius is in device pixels.
void boxBlur(QImage& image, int radius)
{
    if (radius <= 0)
        return;
    const int width = image.width();
    const int height = image.height();
    const int window = 2 * radius + 1;
    QList<quint32> line(qMax(width, height));
    for (int pass = 0; pass < 3; ++pass) {
        for (int vertical = 0; vertical < 2; ++vertical) {
            const int lines = vertical ? width : height;
            const int length = vertical ? height : width;
            for (int l = 0; l < lines; ++l) {
                const auto pixel = [&](int i) -> QRgb& {
                    return vertical ? reinterpret_cast<QRgb*>(image.scanLine(i))[l]
                                    : reinterpret_cast<QRgb*>(image.scanLine(l))[i];
                };
                for (int i = 0; i < length; ++i)
                    line[i] = pixel(i);
                int sums[4] = {0, 0, 0, 0};
                const auto add = [&](int i, int sign) {
                    if (i < 0 || i >= length)
                        return;
                    const QRgb value = line[i];
                    sums[0] += sign * qAlpha(value);
                    sums[1] += sign * qRed(value);
                    sums[2] += sign * qGreen(value);
                    sums[3] += sign * qBlue(value);
                };
                for (int i = -radius; i < radius; ++i)
                    add(i, 1);
                for (int i = 0; i < length; ++i) {
                    add(i + radius, 1);
                    pixel(i) = qRgba(sums[1] / window, sums[2] / window, sums[3] / window, sums[0] / window);
                    add(i - radius, -1);
                }
            }
        }
    }
}

} // namespace

void ShadowPainter::paintWithShadow(QPainter& painter, const QRectF& area, const QColor& color,
                                    const QPointF& offset, qreal blurRadius, const PaintFunction& function)
{
    paint(painter, area, color, offset, blurRadius, function, true);
}

void ShadowPainter::paintShadow(QPainter& painter, const QRectF& area, const QColor& color,
                                const QPointF& offset, qreal blurRadius, const PaintFunction& function)
{
    paint(painter, area, color, offset, blurRadius, function, false);
}

void ShadowPainter::paint(QPainter& painter, const QRectF& area, const QColor& color, const QPointF& offset,
                          qreal blurRadius, const PaintFunction& paint, bool withContent)
{
    if (!color.isValid() || color.alpha() == 0 || area.isEmpty()) {
        if (withContent)
            paint(painter);
        return;
    }
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const qreal margin = std::ceil(blurRadius * 2);
    const QRectF bounds = area.adjusted(-margin, -margin, margin, margin).toAlignedRect();

    QImage content((bounds.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    content.setDevicePixelRatio(ratio);
    content.fill(Qt::transparent);
    {
        QPainter layer(&content);
        layer.setRenderHints(painter.renderHints());
        layer.setFont(painter.font());
        layer.translate(-bounds.topLeft());
        layer.setClipRect(area);
        paint(layer);
    }

    QImage shadow = content;
    {
        QPainter tint(&shadow);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(QRectF(QPointF(0, 0), bounds.size()), color);
    }
    boxBlur(shadow, qRound(blurRadius * ratio / 2));

    painter.drawImage(bounds.topLeft() + offset, shadow);
    if (withContent)
        painter.drawImage(bounds.topLeft(), content);
}

} // namespace tavrel
