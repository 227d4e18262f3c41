#include "controls/TQImageWellCell.h"

#include "platform/ui/ImageRegistry.h"

#include <QPainter>
#include <QPainterPath>

namespace tavrel {

TQImageWellCell::TQImageWellCell()
{
    setImagePosition(ImageOnly);
    setBordered(false);
}

void TQImageWellCell::drawInterior(QPainter& painter, const QRectF& frame, CellHost& host)
{
    QPainterPath outline;
    outline.addRoundedRect(frame, 4, 4);
    const QPixmap picture = image();
    painter.save();
    if (!picture.isNull() && ImageRegistry::nameOf(picture).startsWith(QLatin1String("user")))
        painter.fillPath(outline, Qt::white);
    // The picture and the glow through the rounded square; drawn into a layer so that its corners
    // stay antialiased.
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    QImage layer((frame.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    {
        QPainter layerPainter(&layer);
        layerPainter.setRenderHint(QPainter::Antialiasing);
        layerPainter.translate(-frame.topLeft());
        if (!picture.isNull())
            BasicButtonCell::drawInterior(layerPainter, frame, host);
        if (m_hasGlow)
            ImageRegistry::draw(layerPainter, QStringLiteral("avatar_glow"), frame);
        QPainterPath outside;
        outside.addRect(frame.adjusted(-1, -1, 1, 1));
        outside = outside.subtracted(outline);
        layerPainter.setCompositionMode(QPainter::CompositionMode_Clear);
        layerPainter.fillPath(outside, Qt::transparent);
    }
    painter.drawImage(frame.topLeft(), layer);
    painter.restore();
}

} // namespace tavrel
