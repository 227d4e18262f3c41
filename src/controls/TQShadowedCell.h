#pragma once

#include "platform/ui/Cell.h"

namespace tavrel {

// The base text cell of the composite row cells: a selected flag the subclasses pass on to their
// subcells, and an optional bottom border line and soft shadow band drawn just under the cell's frame
// (in the space of the next row or the table's spacing). It never draws its own text; subclasses draw
// their parts and then call drawInterior last.
class TQShadowedCell : public Cell
{
    TAVREL_CELL(TQShadowedCell)
public:
    TQShadowedCell() = default;
    explicit TQShadowedCell(const QString& title) : Cell(title) {}

    bool shouldDrawShadow() const { return m_shouldDrawShadow; }
    void setShouldDrawShadow(bool draw) { m_shouldDrawShadow = draw; }
    bool shouldDrawBorder() const { return m_shouldDrawBorder; }
    void setShouldDrawBorder(bool draw) { m_shouldDrawBorder = draw; }
    bool selected() const { return isSelected(); }

    void paint(QPainter& painter, const QRectF& frame, CellHost& host) override;
    // The border and the shadow band only.
    virtual void drawInterior(QPainter& painter, const QRectF& frame, CellHost& host);

private:
    bool m_shouldDrawShadow = false;
    bool m_shouldDrawBorder = false;
};

} // namespace tavrel
