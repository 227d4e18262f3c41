#pragma once

#include "controls/SubcellTracker.h"
#include "controls/TQBigContactTableCell.h"

#include <QPointer>
#include <memory>

namespace tavrel {

class TQGroupWrapper;
class TQHoveredPopUpButtonCell;
class TQStateItemCell;

// The row of the big document lists: the big contact row with the document's 72-point thumbnail in
// place of the photo, a state badge (new, modified, starred) and a general-access pop-up at the left,
// a share button at the right end and, left of it, a "pile" of the people with access: only the first
// of them (or the link) is drawn, on a background that tells one, two or more. The badge, the pop-up
// and the share button are made on first use and are enabled only while online.
//
// The cell holds no record of its own: a list configures one cell from each row's roles just before it
// draws the row, and redraws a row when its model says the row changed. A copy shares the subcells.
class TQBigDocumentTableCell : public TQBigContactTableCell
{
    TAVREL_CELL(TQBigDocumentTableCell)
public:
    // The image of the pop-up's own item, shown until the menu gives one.
    static inline const QString kPrivateImage = QStringLiteral("private_regular");

    explicit TQBigDocumentTableCell(const QString& title = QString());
    TQBigDocumentTableCell(const TQBigDocumentTableCell& other);
    TQBigDocumentTableCell& operator=(const TQBigDocumentTableCell&) = delete;
    ~TQBigDocumentTableCell() override;

    // The group header above the row, kept for the lists (which take the row's date text from it).
    std::shared_ptr<const TQGroupWrapper> group() const { return m_group; }
    void setGroup(std::shared_ptr<const TQGroupWrapper> group) { m_group = std::move(group); }

    // The state badge: 1 new, 2 modified, 3 not starred, 4 starred, 0 nothing. The first state makes it.
    int itemState() const;
    void setItemState(int state);
    std::shared_ptr<TQStateItemCell> stateCell() const { return m_stateCell; }
    void setStateCell(std::shared_ptr<TQStateItemCell> cell) { m_stateCell = std::move(cell); }

    // The index of the pop-up's selected item (its menu, given by the list, pulls down: 0 is its
    // title, 1 to 5 the choices). The first index makes the pop-up; -1 while there is none.
    int itemPermission() const;
    void setItemPermission(int index);
    std::shared_ptr<TQHoveredPopUpButtonCell> permissionCell() const { return m_permissionCell; }
    void setPermissionCell(std::shared_ptr<TQHoveredPopUpButtonCell> cell)
    {
        m_permissionCell = std::move(cell);
    }

    // The share button, made on first use; the lists give it its action.
    TQHoverdAdaptorButtonCell& staticActionCell() const;
    std::shared_ptr<TQHoverdAdaptorButtonCell> sharedStaticActionCell() const;
    // The base's, shown as an image only ("sharing") the first time it is asked for.
    TQHoverdAdaptorButtonCell& moreItemsCell() const override;

    // Nil removes the thumbnail. The first picture makes the thumbnail subcell, which draws it.
    void setPhoto(const QPixmap& photo) override;
    void setControlView(QWidget* view);

    // --- Layout ---
    qreal actionSubcellEdge() const override { return 32; }
    qreal actionSubcellPadding() const override { return 14; }
    qreal actionSubcellOffset() const override { return 5; }
    QRectF frameForStateCellInBounds(const QRectF& bounds) const;
    QRectF frameForPermissionCellInBounds(const QRectF& bounds) const;
    QRectF frameForPhotoCellInBounds(const QRectF& bounds) const override;
    // The share button; the pile lines up leftwards from it.
    QRectF frameForStaticActionCellInBounds(const QRectF& bounds) const override;

    // The background of the pile: "one_background", "two_background" or "more_background" by the
    // number of action cells; empty without any.
    QString pileBackgroundName() const;

    // --- Drawing and the mouse ---
    void paint(QPainter& painter, const QRectF& frame, CellHost& host) override;
    // Only the first action cell, on the pile's background.
    void drawActionControls(QPainter& painter, const QRectF& frame, CellHost& host) override;
    HitResults hitTest(const QPointF& point, const QRectF& frame) const override;
    bool mousePressed(const CellMouseEvent& event, const QRectF& frame, CellHost& host) override;
    void mouseDragged(const CellMouseEvent& event, CellHost& host) override;
    bool mouseReleased(const CellMouseEvent& event, CellHost& host) override;
    void cancelTracking(CellHost& host) override;
    bool isTracking() const override { return m_tracker.isTracking(); }

    // The parts the mouse goes to, as trackedPart() answers while a press is tracked.
    enum Part { NoPart = -1, StatePart, PermissionPart, ShareButtonPart, PhotoPart, TitlePart, PilePart };
    int trackedPart() const { return m_tracker.part(); }

protected:
    // The badge, the pop-up and the share button are enabled only while the view is online.
    void onlineChanged() override;

private:
    std::shared_ptr<const TQGroupWrapper> m_group;
    std::shared_ptr<TQStateItemCell> m_stateCell;
    std::shared_ptr<TQHoveredPopUpButtonCell> m_permissionCell;
    mutable std::shared_ptr<TQHoverdAdaptorButtonCell> m_staticActionCell;
    QPointer<QWidget> m_controlView;
    SubcellTracker m_tracker;
};

} // namespace tavrel
