#include "controls/SubcellTracker.h"

namespace tavrel {

bool SubcellTracker::press(const std::shared_ptr<Cell>& cell, int part, const CellMouseEvent& event,
                           const QRectF& frame, CellHost& host)
{
    m_cell.reset();
    if (!cell || !cell->mousePressed(event, frame, host))
        return false;
    m_cell = cell;
    m_part = part;
    return true;
}

void SubcellTracker::drag(const CellMouseEvent& event, CellHost& host)
{
    if (m_cell)
        m_cell->mouseDragged(event, host);
}

bool SubcellTracker::release(const CellMouseEvent& event, CellHost& host)
{
    const std::shared_ptr<Cell> cell = std::move(m_cell);
    return cell && cell->mouseReleased(event, host);
}

void SubcellTracker::cancel(CellHost& host)
{
    const std::shared_ptr<Cell> cell = std::move(m_cell);
    if (cell)
        cell->cancelTracking(host);
}

} // namespace tavrel
