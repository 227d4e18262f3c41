#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <cmath>

class QPainter;
class QPixmap;

namespace tavrel {

// Small drawing helpers shared by the cells. One point of the design is one device-independent pixel.
class Drawing
{
public:
    // Layout arithmetic rounds in single precision: the value is made a float, rounded, made a double.
    static qreal floorf(qreal value) { return qreal(std::floor(float(value))); }
    static qreal ceilf(qreal value) { return qreal(std::ceil(float(value))); }
    static qreal roundf(qreal value) { return qreal(std::round(float(value))); }

    // The interface font (the desktop's sans serif) at a size in points of the design.
    static QFont font(qreal pointSize, QFont::Weight weight = QFont::Normal);
    // A grey with equal red, green and blue.
    static QColor grey(qreal level, qreal alpha = 1.0)
    {
        return QColor::fromRgbF(level, level, level, alpha);
    }

    // The size of one line of text.
    static QSizeF textSize(const QString& text, const QFont& font);
    // Draws one line of text in the rectangle, elided to its width.
    static void drawText(QPainter& painter, const QRectF& rect, const QString& text, const QFont& font,
                         const QColor& color, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter,
                         Qt::TextElideMode elide = Qt::ElideRight);
    // Draws the whole pixmap scaled into the target rectangle.
    static void drawPixmap(QPainter& painter, const QRectF& target, const QPixmap& pixmap,
                           qreal opacity = 1.0);
    // A rectangle of the size centred in another, its origin rounded down in single precision.
    static QRectF centered(const QSizeF& size, const QRectF& within);
};

} // namespace tavrel
