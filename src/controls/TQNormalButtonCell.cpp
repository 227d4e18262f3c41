#include "controls/TQNormalButtonCell.h"

#include "controls/ShadowPainter.h"
#include "controls/SystemColors.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"

#include <QPainter>
#include <QPainterPath>

namespace tavrel {

TQNormalButtonCell::TQNormalButtonCell(const QString& title)
{
    setTitle(title);
}

QFont TQNormalButtonCell::titleFont() const
{
    return Drawing::font(13, QFont::Bold);
}

QColor TQNormalButtonCell::titleColor() const
{
    return QColor::fromRgbF(0.296875f, 0.296875f, 0.29296875f);
}

QColor TQNormalButtonCell::titleShadowColor() const
{
    return Qt::white;
}

QColor TQNormalButtonCell::borderColor() const
{
    return SystemColors::controlShadowColor();
}

QColor TQNormalButtonCell::borderShadowColor() const
{
    return QColor::fromRgbF(0, 0, 0, 0.1f);
}

QPixmap TQNormalButtonCell::activeImage() const
{
    return ImageRegistry::pixmap(QStringLiteral("normal_active"));
}

QPixmap TQNormalButtonCell::regularImage() const
{
    return ImageRegistry::pixmap(QStringLiteral("normal_regular"));
}

QRectF TQNormalButtonCell::titleRectForBounds(const QRectF& bounds) const
{
    return bounds.translated(0, -0.5);
}

BasicButtonCell::AttributedText TQNormalButtonCell::makeTitle(const QString& title, const QFont& font) const
{
    AttributedText text;
    text.text = title;
    text.font = font;
    text.color = titleColor();
    text.alignment = Qt::AlignHCenter;
    return text;
}

void TQNormalButtonCell::setTitle(const QString& title)
{
    if (title.isNull()) {
        setAttributedTitle(AttributedText());
        return;
    }
    setAttributedTitle(makeTitle(title, titleFont()));
}

void TQNormalButtonCell::awakeFromNib()
{
    setTitle(title());
}

void TQNormalButtonCell::drawWithFrame(QPainter& painter, const QRectF& frame, CellHost& host)
{
    const QPixmap image = isHighlighted() ? activeImage() : regularImage();
    const QColor borderShadow = borderShadowColor();
    QRectF rect = drawingRectForBounds(frame);
    if (borderShadow.isValid())
        rect = rect.adjusted(0, 1, 0, -1).translated(0, -1);
    QPainterPath outline;
    outline.addRoundedRect(rect, 4, 4);

    painter.save();
    if (borderShadow.isValid()) {
        // The shadow of the outline one point down; the face covers the rest of it.
        ShadowPainter::paintShadow(painter, rect.adjusted(-1, -1, 1, 1), borderShadow, QPointF(0, 1), 1,
                                   [&](QPainter& p) { p.fillPath(outline, Qt::black); });
    }
    fillPathWithImage(painter, outline, image, rect);
    // The border stroked inside the clip of the outline: its inner half.
    if (const QColor border = borderColor(); border.isValid())
        strokeInside(painter, rect, 4, border);
    // The title with its shadow one point up.
    ShadowPainter::paintWithShadow(painter, rect, titleShadowColor(), QPointF(0, -1), 1,
                                   [&](QPainter& p) { drawInterior(p, rect, host); });
    painter.restore();
}

} // namespace tavrel
