#include "controls/TQArrowButtonCell.h"

#include "controls/ShadowPainter.h"
#include "platform/ui/Drawing.h"

#include <QFontMetricsF>
#include <QPainter>

namespace tavrel {

namespace {
constexpr qreal kMinimumWidth = 35;
constexpr qreal kMaximumWidth = 125;
constexpr qreal kHeight = 26;
} // namespace

TQArrowButtonCell::TQArrowButtonCell(const QString& title)
{
    setBordered(false);
    setBezeled(false);
    setWraps(false);
    setTitle(title);
}

QSizeF TQArrowButtonCell::cellSize(const QSizeF& bounds) const
{
    const qreal width = BasicButtonCell::cellSize(bounds).width() + 24;
    return {qBound(kMinimumWidth, width, kMaximumWidth), kHeight};
}

void TQArrowButtonCell::drawWithFrame(QPainter& painter, const QRectF& frame, CellHost&)
{
    drawBackground(painter, frame);
    drawText(painter, frame.adjusted(1, 2, -1, -2));
}

void TQArrowButtonCell::drawBackground(QPainter& painter, const QRectF& frame)
{
    const QList<QPixmap>& parts = isHighlighted() ? m_activeBackgroundParts : m_regularBackgroundParts;
    if (parts.size() != 3)
        return;
    const qreal left = parts[0].deviceIndependentSize().width();
    const qreal right = parts[2].deviceIndependentSize().width();
    drawImage(painter, parts[0], QRectF(frame.x(), frame.y(), left, frame.height()));
    drawImage(painter, parts[1],
              QRectF(frame.x() + left, frame.y(), qMax(0.0, frame.width() - left - right), frame.height()));
    drawImage(painter, parts[2], QRectF(frame.right() - right, frame.y(), right, frame.height()));
}

void TQArrowButtonCell::drawText(QPainter& painter, const QRectF& frame)
{
    const AttributedText title = attributedTitle();
    QRectF textRect(frame.x() + 8, frame.y(), frame.width() - 11, frame.height());
    // One line, centred vertically.
    const qreal measured = QFontMetricsF(title.font).height();
    textRect.setTop(textRect.y() + (textRect.height() - measured) / 2);
    textRect.setHeight(measured);
    painter.save();
    // The shadow one point down.
    ShadowPainter::paintWithShadow(painter, textRect, titleShadowColor(), QPointF(0, 1), 1, [&](QPainter& p) {
        Drawing::drawText(p, textRect, title.text, title.font, title.color,
                          title.alignment | Qt::AlignVCenter, Qt::ElideRight);
    });
    painter.restore();
}

} // namespace tavrel
