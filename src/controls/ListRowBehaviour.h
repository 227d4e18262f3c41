#pragma once

#include <QColor>
#include <QPointer>
#include <QRect>
#include <functional>

class QAbstractItemView;
class QPainter;
class QWidget;

namespace tavrel {

class Cell;

// What the list table (TQTableView) and the outline (TQOutlineView) do alike with their rows: the
// hovered ("tracked") row and the redraws it needs, whether the selection and the hovered row are
// highlighted, the grid line's colour next to a selection, and the header of the group scrolled under
// the top edge floating there.
class ListRowBehaviour
{
public:
    // The rectangle of a row in the view's viewport (empty for none).
    using RowRect = std::function<QRect(int row)>;
    using GroupTest = std::function<bool(int row)>;

    ListRowBehaviour(QAbstractItemView* view, RowRect rectOfRow);

    int trackedRow() const { return m_trackedRow; }
    // Moves the hovered row, redrawing the row it leaves; answers whether it moved.
    bool setTrackedRow(int row);
    void updateRow(int row) const;

    bool shouldHighlightSelection() const { return m_highlightSelection; }
    void setShouldHighlightSelection(bool highlight);
    bool shouldHighlightTrackingRow() const { return m_highlightTracking; }
    void setShouldHighlightTrackingRow(bool highlight);

    // Whether a row shows as selected (only while the view has focus) and as hovered (never when
    // selected).
    bool showsSelected(bool selected, bool focused) const
    {
        return m_highlightSelection && focused && selected;
    }
    bool showsHovered(int row, bool selected) const
    {
        return m_highlightTracking && row == m_trackedRow && !selected;
    }
    // The grid line under a row: the selection's colour next to a shown selection, else the grid's.
    QColor gridColor(bool nearSelection, bool focused, const QColor& selectionColor,
                     const QColor& plainColor) const;

    // The group row nearest above the row, -1 when none.
    static int groupRowAbove(int row, const GroupTest& isGroupRow);
    // Whether a row drawn at the rectangle reaches into the strip under the top edge where the floating
    // header sits (a row that is exactly the strip does not).
    bool touchesHeaderStrip(const QRect& rowRect, int stripHeight) const;
    // Where the floating header is drawn: the top edge, pushed up by a group row arriving under it.
    QRect floatingHeaderFrame(const QRect& rowRect, bool groupRow, int headerHeight) const;
    // Draws a copy of a group header cell (so that the rows' own drawing of it is left alone) without
    // its top border; any other cell is not drawn.
    void drawFloatingHeader(QPainter& painter, const Cell& header, const QRect& frame) const;

private:
    QWidget* viewport() const;

    QPointer<QAbstractItemView> m_view;
    RowRect m_rectOfRow;
    int m_trackedRow = -1;
    bool m_highlightSelection = true;
    bool m_highlightTracking = true;
};

} // namespace tavrel
