#include "controls/TQSimpleBigContactTableCell.h"

#include "controls/TQHoverdAdaptorButtonCell.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/StringTable.h"

namespace tavrel {

void TQSimpleBigContactTableCell::setSharedItemsCount(int count)
{
    setShouldAlwaysShowMoreItems(count > 0);
    if (count <= 0)
        return;
    moreItemsCell().setTitle(count == 1 ? StringTable::text(QStringLiteral("OneSharedItem"))
                                        : StringTable::format(QStringLiteral("SharedItems"), count));
}

QFont TQSimpleBigContactTableCell::moreItemsCellFont() const
{
    return Drawing::font(11, QFont::Bold);
}

QRectF TQSimpleBigContactTableCell::frameForTitleCellInBounds(const QRectF& bounds, qreal* maxWidth) const
{
    QRectF title = TQBigContactTableCell::frameForTitleCellInBounds(bounds, maxWidth);
    const qreal limit = frameForMoreItemsCellInBounds(bounds).x() - 10;
    if (maxWidth)
        *maxWidth = limit - title.x();
    if (title.right() > limit)
        title.setWidth(limit - title.x());
    return title;
}

QRectF TQSimpleBigContactTableCell::frameForMoreItemsCellInBounds(const QRectF& bounds) const
{
    const QRectF base = TQBigContactTableCell::frameForMoreItemsCellInBounds(bounds);
    const qreal width = moreItemsCell().cellSize().width() + 8;
    return {base.x() + base.width() - width, base.y(), width, base.height()};
}

} // namespace tavrel
