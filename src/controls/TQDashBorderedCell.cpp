#include "controls/TQDashBorderedCell.h"

#include "platform/ui/Drawing.h"

namespace tavrel {

TQDashBorderedCell::TQDashBorderedCell(const QString& title)
{
    setTitle(title);
}

void TQDashBorderedCell::setTitle(const QString& title)
{
    m_styler = AttributedText();
    m_highlighter = AttributedText();
    BasicButtonCell::setTitle(title);
    setup();
}

void TQDashBorderedCell::setup()
{
    setHighlightsBy(PushInCellMask | ChangeGrayCellMask);
    const QFont captionFont = Drawing::font(12, QFont::Bold);
    m_highlighter = {title(), captionFont, QColor::fromRgbF(0.1640625f, 0.59375f, 0.85546875f),
                     Qt::AlignHCenter};
    m_styler = {title(), captionFont, Drawing::grey(0.37890625), Qt::AlignHCenter};
    setAttributedTitle(m_styler);
}

QRectF TQDashBorderedCell::titleRectForBounds(const QRectF& bounds) const
{
    const qreal height = qMin(bounds.height(), Drawing::textSize(title(), m_styler.font).height());
    return {bounds.x(), bounds.bottom() - height, bounds.width(), height};
}

QRectF TQDashBorderedCell::imageRectForBounds(const QRectF& bounds) const
{
    const QPixmap shown = isHighlighted() && !alternateImage().isNull() ? alternateImage() : image();
    if (shown.isNull())
        return {bounds.topLeft(), QSizeF(0, 0)};
    const QRectF above(bounds.x(), bounds.y(), bounds.width(),
                       qMax(0.0, bounds.height() - titleRectForBounds(bounds).height()));
    QSizeF size = shown.deviceIndependentSize();
    if (size.width() > above.width() || size.height() > above.height())
        size.scale(above.size(), Qt::KeepAspectRatio);
    return Drawing::centered(size, above);
}

void TQDashBorderedCell::drawInterior(QPainter& painter, const QRectF& frame, CellHost&)
{
    const bool pressed = isHighlighted();
    const QPixmap shown = pressed ? alternateImage() : image();
    const AttributedText& caption = pressed ? m_highlighter : m_styler;
    const QRectF working = frame.adjusted(0, 14, 0, -14);
    if (working.height() <= 0)
        return;
    drawImage(painter, shown, imageRectForBounds(working));
    Drawing::drawText(painter, titleRectForBounds(working).translated(0, 4), caption.text, caption.font,
                      caption.color, caption.alignment | Qt::AlignVCenter);
}

} // namespace tavrel
