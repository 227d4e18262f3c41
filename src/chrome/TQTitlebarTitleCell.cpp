#include "chrome/TQTitlebarTitleCell.h"

#include "platform/ui/Drawing.h"

#include <QPainter>

namespace tavrel {

QFont TQTitlebarTitleCell::titleFont()
{
    return Drawing::font(14, QFont::Bold);
}

QColor TQTitlebarTitleCell::titleColor()
{
    return QColor(0x3F, 0x3F, 0x3F);
}

QColor TQTitlebarTitleCell::titleShadowColor()
{
    return Qt::white;
}

QSizeF TQTitlebarTitleCell::cellSize(const QSizeF&) const
{
    return title().isEmpty() ? QSizeF(0, 0) : Drawing::textSize(title(), titleFont());
}

QRectF TQTitlebarTitleCell::titleRectForBounds(const QRectF& bounds) const
{
    const QSizeF size = cellSize(bounds.size());
    const qreal x = size.width() < bounds.width() ? bounds.x() + (bounds.width() - size.width()) * 0.5 : 0;
    const qreal y =
        size.height() < bounds.height() ? bounds.y() + (bounds.height() - size.height()) * 0.5 : 0;
    return QRectF(QPointF(x, y), size);
}

void TQTitlebarTitleCell::paint(QPainter& painter, const QRectF& frame, CellHost&)
{
    if (title().isEmpty())
        return;
    const QRectF rect = titleRectForBounds(frame);
    painter.save();
    const QColor shadow = titleShadowColor();
    if (shadow.isValid())
        Drawing::drawText(painter, rect.translated(0, 1), title(), titleFont(), shadow, Qt::AlignCenter,
                          Qt::ElideNone);
    Drawing::drawText(painter, rect, title(), titleFont(), titleColor(), Qt::AlignCenter, Qt::ElideNone);
    painter.restore();
}

} // namespace tavrel
