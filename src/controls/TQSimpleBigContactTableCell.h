#pragma once

#include "controls/TQBigContactTableCell.h"

namespace tavrel {

// The compact big contact row: no action subcells; for a person with shared items the more-items
// button always shows, titled with the number of items and as wide as its text, and the title stays
// 10 points clear of it.
class TQSimpleBigContactTableCell : public TQBigContactTableCell
{
    TAVREL_CELL(TQSimpleBigContactTableCell)
public:
    using TQBigContactTableCell::TQBigContactTableCell;

    // The button for a number of shared items ("1 shared item", "3 shared items"); none for 0.
    void setSharedItemsCount(int count);

    QFont moreItemsCellFont() const override;
    QRectF frameForTitleCellInBounds(const QRectF& bounds, qreal* maxWidth) const override;
    QRectF frameForMoreItemsCellInBounds(const QRectF& bounds) const override;
};

} // namespace tavrel
