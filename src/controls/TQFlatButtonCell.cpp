#include "controls/TQFlatButtonCell.h"

#include "platform/ui/Drawing.h"

namespace tavrel {

QFont TQFlatButtonCell::titleFont() const
{
    return Drawing::font(12);
}

QRectF TQFlatButtonCell::titleRectForBounds(const QRectF& bounds) const
{
    return bounds.translated(0, m_noShadow ? -0.5 : 0.5);
}

QColor TQFlatButtonCell::borderShadowColor() const
{
    return m_noShadow ? QColor() : TQNormalButtonCell::borderShadowColor();
}

void TQFlatButtonCell::drawWithFrame(QPainter& painter, const QRectF& frame, CellHost& host)
{
    if (m_shouldUseInset) {
        const qreal inset = insetButtonAttribute() / 2.0;
        TQNormalButtonCell::drawWithFrame(painter, frame.adjusted(inset, inset, -inset, -inset), host);
        return;
    }
    TQNormalButtonCell::drawWithFrame(painter, frame, host);
}

} // namespace tavrel
