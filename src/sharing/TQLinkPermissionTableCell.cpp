#include "sharing/TQLinkPermissionTableCell.h"

#include "controls/RowTextCell.h"
#include "platform/ui/Drawing.h"

namespace tavrel {

TQLinkPermissionTableCell::TQLinkPermissionTableCell(const QString& title) : TQPermissionTableCell(title)
{
    textCell().setTextColor(linkColor());
}

QColor TQLinkPermissionTableCell::linkColor()
{
    return {0x1a, 0x5f, 0xd0};
}

QRectF TQLinkPermissionTableCell::centredTitleFrame(const QRectF& frame, const QRectF& bounds,
                                                    const RowTextCell& text)
{
    const qreal height = text.cellSize(bounds.size()).height();
    return {frame.x(), Drawing::floorf(bounds.y() + (bounds.height() - height) / 2), frame.width(),
            frame.height()};
}

void TQLinkPermissionTableCell::setPhoto(const QPixmap&) {}

QRectF TQLinkPermissionTableCell::frameForPhotoCellInBounds(const QRectF& bounds) const
{
    return {TQPermissionTableCell::frameForPhotoCellInBounds(bounds).topLeft(), QSizeF()};
}

QRectF TQLinkPermissionTableCell::frameForTitleCellInBounds(const QRectF& bounds, qreal* maxWidth) const
{
    return centredTitleFrame(TQPermissionTableCell::frameForTitleCellInBounds(bounds, maxWidth), bounds,
                             textCell());
}

} // namespace tavrel
