#include "controls/RowTextCell.h"

#include "platform/ui/CellHost.h"
#include "platform/ui/Drawing.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>

namespace tavrel {

RowTextCell::RowTextCell(const QString& text, const QFont& font, const QColor& color) : Cell(text)
{
    setFont(font);
    setTextColor(color);
}

QSizeF RowTextCell::cellSize(const QSizeF&) const
{
    const QFontMetricsF metrics(font());
    const qreal width = title().isEmpty() ? 0 : metrics.horizontalAdvance(title());
    return {Drawing::ceilf(width + 2 * kPadding), Drawing::ceilf(metrics.height())};
}

void RowTextCell::paint(QPainter& painter, const QRectF& frame, CellHost& host)
{
    m_controlView = host.hostWidget();
    QColor color = textColor();
    if (!color.isValid())
        color = QApplication::palette().color(QPalette::Text);
    if (!isEnabled())
        color.setAlphaF(color.alphaF() * 0.45f);
    QFont textFont = font();
    textFont.setUnderline(m_underlined);
    Drawing::drawText(painter, frame.adjusted(kPadding, 0, -kPadding, 0), title(), textFont, color,
                      Qt::AlignLeft | Qt::AlignVCenter);
}

Cell::HitResults RowTextCell::hitTest(const QPointF& point, const QRectF& frame) const
{
    return frameContains(frame, point) ? ContentArea : None;
}

} // namespace tavrel
