#pragma once

#include <QPointF>
#include <QRectF>
#include <Qt>

class QWidget;

namespace tavrel {

// What a cell needs of the widget it is drawn in (its control view): a place to ask for redraws, the
// mouse position of the current event and the focus. A CellButton is its own host; CellItemDelegate
// hosts the cells of a list in the list's viewport.
class CellHost
{
public:
    virtual ~CellHost() = default;

    // The widget the cell draws in; all positions and frames are in its coordinates.
    virtual QWidget* hostWidget() const = 0;
    // Redraws that part of the host.
    virtual void updateCellRect(const QRectF& rect);
    // The position of the mouse at the current event, in host coordinates: cells decide their hover
    // state from it while they draw.
    virtual QPointF mousePosition() const;
    // Whether the host widget has keyboard focus.
    virtual bool hostHasFocus() const;

    // The host's cursor, for link-like parts of a cell.
    void setHostCursor(Qt::CursorShape shape);
    void unsetHostCursor();
    Qt::CursorShape hostCursor() const;
};

} // namespace tavrel
