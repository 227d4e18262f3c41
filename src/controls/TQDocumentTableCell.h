#pragma once

#include "controls/TQContactTableCell.h"

namespace tavrel {

class TQStateItemCell;

// The row of the document lists: the contact row rearranged for a document, with a state badge at the
// far left (new, modified, starred), the kind's 16-point icon in place of the photo, title and details,
// a grey date left of the action button and a sharing button with two sets of images. Like the
// contact row it reads nothing from its object value.
class TQDocumentTableCell : public TQContactTableCell
{
    TAVREL_CELL(TQDocumentTableCell)
public:
    // Which images the sharing button shows.
    enum SharingState { ShareState = 1, SharingsState = 3 };

    explicit TQDocumentTableCell(const QString& title = QString());

    QString date() const;
    // A text keeps (or makes) the date; nil drops it, and the title gets its 66 points back.
    void setDate(const QString& date);
    int itemState() const;
    void setItemState(int state);
    // 1 while the button shows the share images, 3 otherwise.
    int sharingState() const;
    void setSharingState(int state);
    bool allowedSharings() const { return m_allowedSharings; }
    // The action button's represented object becomes "1" or nothing with it.
    void setAllowedSharings(bool allowed);
    const Action& stateAction() const { return m_stateAction; }
    void setStateAction(Action action) { m_stateAction = std::move(action); }
    // The row's group header object, kept for the list; drawing never reads it.
    QVariant group() const { return m_group; }
    void setGroup(const QVariant& group) { m_group = group; }

    // The date's cell, nullptr without a date (and always for collections).
    virtual RowTextCell* dateCell() const { return m_dateCell.get(); }
    // The state part: the badge (a check box for collections).
    virtual std::shared_ptr<Cell> stateCell() const;
    TQStateItemCell& stateItemCell() const;
    void setControlView(QWidget* view);
    void stateClicked();

    virtual QRectF frameForStateCellInBounds(const QRectF& bounds) const;
    QRectF frameForPhotoCellInBounds(const QRectF& bounds) const override;
    virtual QRectF frameForDateCellInBounds(const QRectF& bounds) const;
    QRectF frameForTitleCellInBounds(const QRectF& bounds, qreal* maxWidth) const override;

    void paint(QPainter& painter, const QRectF& frame, CellHost& host) override;
    HitResults hitTest(const QPointF& point, const QRectF& frame) const override;

protected:
    Part partAt(const QPointF& point, const QRectF& frame) const override;
    bool pressPart(Part part, const CellMouseEvent& event, const QRectF& frame, CellHost& host) override;
    void partReleased(Part part, bool inside) override;

private:
    mutable std::shared_ptr<TQStateItemCell> m_stateCell;
    std::shared_ptr<RowTextCell> m_dateCell;
    bool m_allowedSharings = false;
    Action m_stateAction;
    QVariant m_group;
};

} // namespace tavrel
