#pragma once

#include "controls/TQPermissionTableCell.h"

namespace tavrel {

// The row of the people-with-access lists that stands for access by link: no photo, the link in blue
// on one line, centred in the row.
class TQLinkPermissionTableCell : public TQPermissionTableCell
{
    TAVREL_CELL(TQLinkPermissionTableCell)
public:
    explicit TQLinkPermissionTableCell(const QString& title = QString());

    void setPhoto(const QPixmap& photo) override;
    QRectF frameForPhotoCellInBounds(const QRectF& bounds) const override;
    QRectF frameForTitleCellInBounds(const QRectF& bounds, qreal* maxWidth) const override;

    // The link rows' colour, and a title frame centred in the row.
    static QColor linkColor();
    static QRectF centredTitleFrame(const QRectF& frame, const QRectF& bounds, const RowTextCell& text);
};

} // namespace tavrel
