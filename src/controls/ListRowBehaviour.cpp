#include "controls/ListRowBehaviour.h"

#include "controls/TQTitledGroupTableCell.h"
#include "controls/WidgetCellHost.h"

#include <QAbstractItemView>
#include <QPainter>

namespace tavrel {

ListRowBehaviour::ListRowBehaviour(QAbstractItemView* view, RowRect rectOfRow)
    : m_view(view), m_rectOfRow(std::move(rectOfRow))
{}

QWidget* ListRowBehaviour::viewport() const
{
    return m_view ? m_view->viewport() : nullptr;
}

void ListRowBehaviour::updateRow(int row) const
{
    const QRect rect = row >= 0 ? m_rectOfRow(row) : QRect();
    if (!rect.isEmpty() && viewport())
        viewport()->update(rect);
}

bool ListRowBehaviour::setTrackedRow(int row)
{
    if (row == m_trackedRow)
        return false;
    updateRow(m_trackedRow);
    m_trackedRow = row;
    return true;
}

void ListRowBehaviour::setShouldHighlightSelection(bool highlight)
{
    m_highlightSelection = highlight;
    if (viewport())
        viewport()->update();
}

void ListRowBehaviour::setShouldHighlightTrackingRow(bool highlight)
{
    m_highlightTracking = highlight;
    updateRow(m_trackedRow);
}

QColor ListRowBehaviour::gridColor(bool nearSelection, bool focused, const QColor& selectionColor,
                                   const QColor& plainColor) const
{
    return nearSelection && m_highlightSelection && focused ? selectionColor : plainColor;
}

int ListRowBehaviour::groupRowAbove(int row, const GroupTest& isGroupRow)
{
    int above = row - 1;
    while (above >= 0 && !isGroupRow(above))
        --above;
    return above;
}

bool ListRowBehaviour::touchesHeaderStrip(const QRect& rowRect, int stripHeight) const
{
    const QRect strip(0, 0, viewport() ? viewport()->width() : 0, stripHeight);
    return rowRect != strip && rowRect.intersects(strip);
}

QRect ListRowBehaviour::floatingHeaderFrame(const QRect& rowRect, bool groupRow, int headerHeight) const
{
    QRect frame(0, 0, viewport() ? viewport()->width() : 0, headerHeight);
    if (groupRow)
        frame.moveBottom(rowRect.top() - 1);
    return frame;
}

void ListRowBehaviour::drawFloatingHeader(QPainter& painter, const Cell& header, const QRect& frame) const
{
    const std::unique_ptr<Cell> copy = header.clone();
    auto* titled = dynamic_cast<TQTitledGroupTableCell*>(copy.get());
    if (!titled)
        return;
    titled->setShouldHaveTopBorder(false);
    painter.save();
    WidgetCellHost host(viewport());
    titled->paint(painter, QRectF(frame), host);
    painter.restore();
}

} // namespace tavrel
