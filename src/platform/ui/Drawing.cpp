#include "platform/ui/Drawing.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPixmap>

namespace tavrel {

QFont Drawing::font(qreal pointSize, QFont::Weight weight)
{
    QFont font = QApplication::font();
    font.setPixelSize(qMax(1, qRound(pointSize)));
    font.setWeight(weight);
    return font;
}

QSizeF Drawing::textSize(const QString& text, const QFont& font)
{
    const QFontMetricsF metrics(font);
    return {metrics.horizontalAdvance(text), metrics.height()};
}

void Drawing::drawText(QPainter& painter, const QRectF& rect, const QString& text, const QFont& font,
                       const QColor& color, Qt::Alignment alignment, Qt::TextElideMode elide)
{
    if (text.isEmpty() || rect.isEmpty())
        return;
    const QFontMetricsF metrics(font);
    painter.save();
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(rect, int(alignment) | Qt::TextSingleLine,
                     metrics.elidedText(text, elide, rect.width()));
    painter.restore();
}

void Drawing::drawPixmap(QPainter& painter, const QRectF& target, const QPixmap& pixmap, qreal opacity)
{
    if (pixmap.isNull() || target.isEmpty() || opacity <= 0.0)
        return;
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, pixmap, QRectF(QPointF(0, 0), QSizeF(pixmap.size())));
    painter.restore();
}

QRectF Drawing::centered(const QSizeF& size, const QRectF& within)
{
    return {floorf(within.x() + (within.width() - size.width()) / 2),
            floorf(within.y() + (within.height() - size.height()) / 2), size.width(), size.height()};
}

} // namespace tavrel
