#pragma once

#include "controls/TQContactTableCell.h"

#include <QList>
#include <memory>

namespace tavrel {

// The person row of the people-with-access list of the document detail view: photo, name, details
// line, a role icon (an action cell left of the remove button, which opens the quick permission
// popover at itself) and a "leave sharing" remove button when the row may be removed, which works
// only while online. Copies share their action cells.
class TQPermissionTableCell2 : public TQContactTableCell
{
    TAVREL_CELL(TQPermissionTableCell2)
public:
    static qreal minCellHeight() { return 68; }
    static constexpr qreal kActionSubcellOffset = 5;
    static constexpr qreal kActionSubcellPadding = 9;
    static constexpr qreal kActionSubcellEdge = 32;
    // The part number of the first action cell in tracking; the others follow.
    static constexpr int kFirstActionCellPart = 100;

    explicit TQPermissionTableCell2(const QString& title = QString());

    static qreal actionSubcellStartForBounds(const QRectF& bounds);

    bool deletable() const { return m_deletable; }
    // The remove button shows the leave-sharing images and follows the connection (YES), or loses its
    // image (NO).
    void setDeletable(bool deletable);
    const QList<std::shared_ptr<Cell>>& actionCells() const { return m_actionCells; }
    void setActionCells(const QList<std::shared_ptr<Cell>>& cells);
    // The view the row is drawn in, passed on to every part.
    void setRowControlView(QWidget* view);

    QRectF frameForPhotoCellInBounds(const QRectF& bounds) const override;
    QRectF frameForActionCellInBounds(const QRectF& bounds) const override;
    // The frame of the action cell at the index, left of the remove button; a hovered button one
    // point larger on every side.
    QRectF frameForActionCellInBounds(const QRectF& bounds, int index) const;
    QRectF frameForTitleCellInBounds(const QRectF& bounds, qreal* maxWidth) const override;
    QRectF frameForDetailsCellInBounds(const QRectF& bounds) const override;

    void paint(QPainter& painter, const QRectF& frame, CellHost& host) override;
    // The first action cell over its background; only it is drawn.
    void drawActionControls(QPainter& painter, const QRectF& frame, CellHost& host);
    HitResults hitTest(const QPointF& point, const QRectF& frame) const override;
    bool mousePressed(const CellMouseEvent& event, const QRectF& frame, CellHost& host) override;

protected:
    void onlineChanged() override;

private:
    // The index of the action cell under the point, -1 for none.
    int actionCellAt(const QPointF& point, const QRectF& frame) const;

    bool m_deletable = false;
    QList<std::shared_ptr<Cell>> m_actionCells;
    bool m_actionFollowsOnline = false;
};

// The link row of that list: no photo, the link in blue on one line centred in the row.
class TQLinkPermissionTableCell2 : public TQPermissionTableCell2
{
    TAVREL_CELL(TQLinkPermissionTableCell2)
public:
    explicit TQLinkPermissionTableCell2(const QString& title = QString());

    // A link row has no picture.
    void setPhoto(const QPixmap& photo) override;
    QRectF frameForPhotoCellInBounds(const QRectF& bounds) const override;
    QRectF frameForTitleCellInBounds(const QRectF& bounds, qreal* maxWidth) const override;
};

} // namespace tavrel
