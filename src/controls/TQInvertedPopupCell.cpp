#include "controls/TQInvertedPopupCell.h"

#include "controls/ShadowPainter.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"

#include <QPainter>

namespace tavrel {

TQInvertedPopupCell::TQInvertedPopupCell(const QString& title, bool pullsDown)
    : BasicPopUpButtonCell(title, pullsDown)
{
    setArrowPosition(NoArrow);
    m_styler = {QStringLiteral("stub"), Drawing::font(13, QFont::Bold), Qt::white, Qt::AlignHCenter};
}

void TQInvertedPopupCell::drawInterior(QPainter& painter, const QRectF& frame, CellHost&)
{
    painter.save();
    drawImage(painter, isHovered() && !isHighlighted() ? m_hoverBackground : m_regularBackground, frame);
    painter.restore();
    drawInvertedWithFrame(painter, frame);
}

void TQInvertedPopupCell::drawInvertedWithFrame(QPainter& painter, const QRectF& frame)
{
    const QAction* item = selectedItem();
    const QString name = imageNameOfItem(item);
    const QString white = ImageRegistry::variantName(name, QStringLiteral("_white"));
    const QPixmap icon =
        !name.isEmpty() && ImageRegistry::contains(white) ? ImageRegistry::pixmap(white) : imageOfItem(item);
    const QSizeF iconSize = icon.isNull() ? QSizeF(0, 0) : icon.deviceIndependentSize();
    const QRectF iconRect(frame.x() + 8, frame.y() + (frame.height() - iconSize.height()) / 2 - 1,
                          iconSize.width(), iconSize.height());
    drawImage(painter, icon, iconRect);

    const QPixmap arrows = ImageRegistry::pixmap(QStringLiteral("arrows"));
    const QSizeF arrowsSize = arrows.isNull() ? QSizeF(0, 0) : arrows.deviceIndependentSize();
    const QRectF arrowsRect(frame.x() + frame.width() - arrowsSize.width() - 8,
                            frame.y() + (frame.height() - arrowsSize.height()) / 2 - 1, arrowsSize.width(),
                            arrowsSize.height());
    drawImage(painter, arrows, arrowsRect);

    // The title between the icon and the arrows, centred there.
    QRectF titleRect = titleRectForBounds(frame);
    titleRect.setLeft(iconRect.right());
    titleRect.setWidth(arrowsRect.left() - iconRect.right());
    titleRect.translate(0, -1);
    AttributedText title = m_styler;
    title.text = titleOfSelectedItem();
    painter.save();
    ShadowPainter::paintWithShadow(painter, titleRect, Qt::black, QPointF(0, -1), 1, [&](QPainter& p) {
        Drawing::drawText(p, titleRect, title.text, title.font, title.color,
                          title.alignment | Qt::AlignVCenter);
    });
    painter.restore();
}

} // namespace tavrel
