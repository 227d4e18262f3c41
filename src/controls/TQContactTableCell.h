#pragma once

#include "controls/InPlaceEditableCell.h"
#include "controls/SubcellTracker.h"
#include "controls/TQShadowedCell.h"

#include <memory>

namespace tavrel {

class RowTextCell;
class TQHoverdButtonCell;
class TQPhotoSubcell;

// The composite row of the lists of people, addresses and documents: a photo on the left, a bold
// title, an optional grey details line under it and an action button on the right (a share button, or
// a badge with a count). Each part's frame comes from its own overridable method, so the document and
// permission rows rearrange the same parts. The cell reads nothing from its object value: the list
// sets title, details, photo, the actions and the flags before each row is drawn. Copies share the
// subcells.
//
// Clicks go to the part under the mouse: a single click on the photo or the title sends linkAction,
// a click released on the button sends buttonAction; both are given the row cell.
class TQContactTableCell : public TQShadowedCell, public InPlaceEditableCell
{
    TAVREL_CELL(TQContactTableCell)
public:
    enum Part { NoPart = 0, PhotoPart, TitlePart, DetailsPart, ActionPart, StatePart };

    static qreal minCellHeight() { return 48; }

    explicit TQContactTableCell(const QString& title = QString());

    // --- Content ---
    QString title() const;
    // Nil is stored as the empty text; the cell's own title becomes the text too.
    void setTitle(const QString& title) override;
    QString details() const;
    void setDetails(const QString& details);
    QPixmap photo() const;
    // Makes the photo subcell on first use.
    virtual void setPhoto(const QPixmap& photo);
    // The badge's text; nil gives the button the share images instead.
    QString count() const;
    void setCount(const QString& count);
    bool shouldAnimateActionButton() const;
    void setShouldAnimateActionButton(bool animate);
    static QColor detailsTextColor();

    // --- Subcells (made on first use, shared by copies) ---
    // A TQPhotoSubcell unless a row puts another image cell there.
    std::shared_ptr<Cell> photoCell() const { return m_photoCell; }
    void setPhotoCell(std::shared_ptr<Cell> cell) { m_photoCell = std::move(cell); }
    RowTextCell& textCell() const;
    RowTextCell& detailsCell() const;
    TQHoverdButtonCell& actionCell() const;
    std::shared_ptr<TQHoverdButtonCell> sharedActionCell() const;
    // The action button: a hovered adaptor button.
    static std::shared_ptr<TQHoverdButtonCell> makeActionCell();
    void setControlView(QWidget* view);

    // --- Flags and actions ---
    bool hasLink() const { return m_hasLink; }
    void setHasLink(bool hasLink) { m_hasLink = hasLink; }
    bool hoverActionButtonInFrameOnly() const { return m_hoverActionButtonInFrameOnly; }
    void setHoverActionButtonInFrameOnly(bool only) { m_hoverActionButtonInFrameOnly = only; }
    const Action& buttonAction() const { return m_buttonAction; }
    void setButtonAction(Action action) { m_buttonAction = std::move(action); }
    const Action& linkAction() const { return m_linkAction; }
    void setLinkAction(Action action) { m_linkAction = std::move(action); }
    // Sent by the parts: the actions with this cell, when set.
    void buttonClicked();
    void linkClicked();

    void setSelected(bool selected) override;

    // --- In-place editing ---
    bool showsEditor() const override { return m_showsEditor; }
    void setShowsEditor(bool shows) override { m_showsEditor = shows; }
    QRectF editingFrame(const QRectF& cellFrame) const override;
    QFont editingFont() const override;

    // --- Layout (bounds in the host's coordinates) ---
    virtual QRectF frameForPhotoCellInBounds(const QRectF& bounds) const;
    QRectF titleRectForBounds(const QRectF& bounds) const
    {
        return frameForTitleCellInBounds(bounds, nullptr);
    }
    // The title's frame; the width it may take at most goes to maxWidth when given.
    virtual QRectF frameForTitleCellInBounds(const QRectF& bounds, qreal* maxWidth) const;
    // Zero without details.
    virtual QRectF frameForDetailsCellInBounds(const QRectF& bounds) const;
    virtual QRectF frameForActionCellInBounds(const QRectF& bounds) const;
    // 172 × 48 whatever the bounds.
    QSizeF cellSize(const QSizeF& bounds = QSizeF()) const override;
    void setTitleAttributeLink(bool link);

    // --- Drawing and the mouse ---
    void paint(QPainter& painter, const QRectF& frame, CellHost& host) override;
    HitResults hitTest(const QPointF& point, const QRectF& frame) const override;
    bool mousePressed(const CellMouseEvent& event, const QRectF& frame, CellHost& host) override;
    void mouseDragged(const CellMouseEvent& event, CellHost& host) override;
    bool mouseReleased(const CellMouseEvent& event, CellHost& host) override;
    void cancelTracking(CellHost& host) override;
    bool isTracking() const override { return m_tracker.isTracking(); }

protected:
    // The part under a point of a row drawn in the frame, in the order of hit testing.
    virtual Part partAt(const QPointF& point, const QRectF& frame) const;
    // Presses on a part; answers whether a subcell tracks the mouse.
    virtual bool pressPart(Part part, const CellMouseEvent& event, const QRectF& frame, CellHost& host);
    // A tracked part let go, inside the frame or not.
    virtual void partReleased(Part part, bool inside);
    // Whether the mouse of the current event lies in the frame.
    static bool mouseIn(const QRectF& frame, CellHost& host);
    SubcellTracker& tracker() { return m_tracker; }

private:
    std::shared_ptr<Cell> m_photoCell;
    mutable std::shared_ptr<RowTextCell> m_textCell;
    mutable std::shared_ptr<RowTextCell> m_detailsCell;
    mutable std::shared_ptr<TQHoverdButtonCell> m_actionCell;
    bool m_hasLink = false;
    bool m_hoverActionButtonInFrameOnly = false;
    bool m_showsEditor = false;
    Action m_buttonAction;
    Action m_linkAction;
    SubcellTracker m_tracker;
    int m_pressClickCount = 0;
};

} // namespace tavrel
