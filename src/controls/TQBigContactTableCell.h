#pragma once

#include "controls/InPlaceEditableCell.h"
#include "controls/SubcellTracker.h"
#include "controls/TQShadowedCell.h"

#include <QList>
#include <functional>
#include <memory>

namespace tavrel {

class TQHoverdAdaptorButtonCell;
class TQLinkTitleSubcell;
class TQPhotoSubcell;
class TQSubtitleSubcell;

// The tall row (87 points) of the contacts list: a 68-point photo, up to three lines beside it (a
// title that is a link, a subtitle and a details line) and a row of small square action subcells at
// the right that grows leftwards, with a more-items button standing in for those that do not fit. It
// sends no action itself: a click goes to the subcell under the mouse. Every layout number comes from
// an overridable method, so the compact variant and the big document row rearrange it. Copies share
// the subcells.
class TQBigContactTableCell : public TQShadowedCell, public InPlaceEditableCell
{
    TAVREL_CELL(TQBigContactTableCell)
public:
    static qreal minCellHeight() { return 87; }

    explicit TQBigContactTableCell(const QString& title = QString());

    // --- Content: nil removes a part; the first text or picture makes it ---
    QPixmap photo() const;
    virtual void setPhoto(const QPixmap& photo);
    QString title() const;
    void setTitle(const QString& title) override;
    QString subtitle() const;
    void setSubtitle(const QString& subtitle);
    QString details() const;
    void setDetails(const QString& details);
    QList<std::shared_ptr<Cell>> actionCells() const { return m_actionCells; }
    void setActionCells(const QList<std::shared_ptr<Cell>>& cells);
    virtual TQHoverdAdaptorButtonCell& moreItemsCell() const;
    virtual QFont moreItemsCellFont() const;
    void setControlView(QWidget* view);

    // A plain photo made by setPhoto, or whatever subcell a subclass installs.
    std::shared_ptr<Cell> photoCell() const { return m_photoCell; }
    void setPhotoCell(std::shared_ptr<Cell> cell) { m_photoCell = std::move(cell); }
    std::shared_ptr<TQLinkTitleSubcell> titleCell() const { return m_titleCell; }
    std::shared_ptr<TQSubtitleSubcell> subtitleCell() const { return m_subtitleCell; }
    std::shared_ptr<TQSubtitleSubcell> detailsCell() const { return m_detailsCell; }

    bool shouldAlwaysShowMoreItems() const { return m_shouldAlwaysShowMoreItems; }
    void setShouldAlwaysShowMoreItems(bool show) { m_shouldAlwaysShowMoreItems = show; }
    bool shouldHideActionButtons() const { return m_shouldHideActionButtons; }
    void setShouldHideActionButtons(bool hide) { m_shouldHideActionButtons = hide; }

    // --- In-place editing ---
    bool showsEditor() const override { return m_showsEditor; }
    void setShowsEditor(bool shows) override { m_showsEditor = shows; }
    QRectF editingFrame(const QRectF& cellFrame) const override;
    QFont editingFont() const override;

    // --- Layout ---
    virtual qreal actionSubcellEdge() const { return 44; }
    virtual qreal actionSubcellPadding() const { return 9; }
    virtual qreal actionSubcellOffset() const { return 5; }
    // The start line: an action slot beginning left of it does not fit.
    virtual qreal actionSubcellStartForBounds(const QRectF& bounds) const;
    virtual QRectF frameForPhotoCellInBounds(const QRectF& bounds) const;
    QRectF titleRectForBounds(const QRectF& bounds) const
    {
        return frameForTitleCellInBounds(bounds, nullptr);
    }
    // Measured once per bounds: the texts changing in the same bounds keep the frame.
    virtual QRectF frameForTitleCellInBounds(const QRectF& bounds, qreal* maxWidth) const;
    virtual QRectF frameForSubtitleCellInBounds(const QRectF& bounds) const;
    virtual QRectF frameForDetailsCellInBounds(const QRectF& bounds) const;
    virtual QRectF frameForActionCellInBounds(const QRectF& bounds, int index) const;
    virtual QRectF frameForStaticActionCellInBounds(const QRectF& bounds) const;
    virtual QRectF frameForMoreItemsCellInBounds(const QRectF& bounds) const;
    QSizeF cellSize(const QSizeF& bounds = QSizeF()) const override;

    // What the row shows at its right end: the fitting subcells with their frames, and the more-items
    // cell's frame when it shows. Drawing, hit testing and tracking all use this one rule.
    struct ActionLayout
    {
        QList<std::pair<std::shared_ptr<Cell>, QRectF>> shown;
        bool showsMoreItems = false;
        QRectF moreItems;
        // The row, cut after the last subcell shown when some did not fit.
        QRectF row;
    };
    ActionLayout actionLayout(const QRectF& frame) const;

    // --- Drawing and the mouse ---
    void paint(QPainter& painter, const QRectF& frame, CellHost& host) override;
    virtual void drawActionControls(QPainter& painter, const QRectF& frame, CellHost& host);
    HitResults hitTest(const QPointF& point, const QRectF& frame) const override;
    bool mousePressed(const CellMouseEvent& event, const QRectF& frame, CellHost& host) override;
    void mouseDragged(const CellMouseEvent& event, CellHost& host) override;
    bool mouseReleased(const CellMouseEvent& event, CellHost& host) override;
    void cancelTracking(CellHost& host) override;
    bool isTracking() const override { return m_tracker.isTracking(); }

private:
    std::shared_ptr<Cell> m_photoCell;
    std::shared_ptr<TQLinkTitleSubcell> m_titleCell;
    std::shared_ptr<TQSubtitleSubcell> m_subtitleCell;
    std::shared_ptr<TQSubtitleSubcell> m_detailsCell;
    mutable std::shared_ptr<TQHoverdAdaptorButtonCell> m_moreItemsCell;
    QList<std::shared_ptr<Cell>> m_actionCells;
    bool m_showsEditor = false;
    bool m_shouldAlwaysShowMoreItems = false;
    bool m_shouldHideActionButtons = false;
    mutable QRectF m_lastBounds;
    mutable QRectF m_titleFrame;
    SubcellTracker m_tracker;
};

} // namespace tavrel
