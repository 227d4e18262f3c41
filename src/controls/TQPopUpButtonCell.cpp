#include "controls/TQPopUpButtonCell.h"

#include "platform/ui/Drawing.h"

#include <QPainter>

namespace tavrel {

TQPopUpButtonCell::TQPopUpButtonCell(const QString& title, bool pullsDown)
    : BasicPopUpButtonCell(title, pullsDown)
{
    setArrowPosition(NoArrow);
    m_styler = {QStringLiteral("stub"), Drawing::font(12, QFont::Bold), Drawing::grey(0.4375), Qt::AlignLeft};
}

void TQPopUpButtonCell::drawInterior(QPainter& painter, const QRectF& frame, CellHost&)
{
    const QString title = m_fixedTitle.isNull() ? titleOfSelectedItem() : m_fixedTitle;
    const QPixmap image = imageOfItem(selectedItem());
    const QSizeF imageSize = image.isNull() ? QSizeF(0, 0) : image.deviceIndependentSize();
    const QRectF iconRect(frame.x() + 1, frame.y() + (frame.height() - imageSize.height()) / 2 - 2,
                          imageSize.width(), imageSize.height());
    if (m_fixedTitle.isNull())
        drawImage(painter, image, iconRect);
    QRectF titleRect = titleRectForBounds(frame);
    titleRect.setLeft(iconRect.right() + 4);
    titleRect.setWidth(qMin(Drawing::ceilf(Drawing::textSize(title, m_styler.font).width()),
                            frame.right() - titleRect.left()));
    painter.save();
    Drawing::drawText(painter, titleRect, title, m_styler.font, m_styler.color,
                      m_styler.alignment | Qt::AlignVCenter);
    painter.restore();
}

} // namespace tavrel
