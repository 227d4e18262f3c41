#pragma once

#include "platform/ui/Cell.h"

#include <memory>

namespace tavrel {

// The subcell a composite row cell hands the mouse to, from the press to the release, and which of
// the composite's parts it is. The subcell is held (shared with the row cell's copies) until the
// release, so that a row cell configured for another row meanwhile cannot take it away.
class SubcellTracker
{
public:
    // Hands the press to the subcell; answers whether it tracks the mouse from now on.
    bool press(const std::shared_ptr<Cell>& cell, int part, const CellMouseEvent& event, const QRectF& frame,
               CellHost& host);
    void drag(const CellMouseEvent& event, CellHost& host);
    // Answers whether the mouse went up inside the frame the subcell tracked in.
    bool release(const CellMouseEvent& event, CellHost& host);
    void cancel(CellHost& host);

    bool isTracking() const { return m_cell && m_cell->isTracking(); }
    // The part being tracked, -1 when none.
    int part() const { return m_cell ? m_part : -1; }
    Cell* cell() const { return m_cell.get(); }

private:
    std::shared_ptr<Cell> m_cell;
    int m_part = -1;
};

} // namespace tavrel
