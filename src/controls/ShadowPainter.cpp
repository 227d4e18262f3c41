#include "controls/ShadowPainter.h"

#include "controls/SoftShadow.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <cmath>

namespace tavrel {

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
    SoftShadow::blur(shadow, qRound(blurRadius * ratio / 2));

    painter.drawImage(bounds.topLeft() + offset, shadow);
    if (withContent)
        painter.drawImage(bounds.topLeft(), content);
}

} // namespace tavrel
