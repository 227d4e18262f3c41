#pragma once

#include "controls/BasicButtonCell.h"

namespace tavrel {

// A button cell that lives inside a larger cell: its owner places it (setLastFrame) before handing it
// a press, and the cell highlights against that frame while the mouse is down, redrawing only that
// frame. It may draw a soft shadow while pressed, and stores a double action that its owner sends.
class TQButtonCell : public BasicButtonCell
{
    TAVREL_CELL(TQButtonCell)
public:
    explicit TQButtonCell(const QString& title = QString()) : BasicButtonCell(title) {}

    bool hasShadow() const { return m_hasShadow; }
    void setHasShadow(bool hasShadow) { m_hasShadow = hasShadow; }

    bool startTracking(const QPointF& point, CellHost& host) override;
    bool continueTracking(const QPointF& last, const QPointF& current, CellHost& host) override;
    void stopTracking(const QPointF& last, const QPointF& stop, CellHost& host, bool mouseIsUp) override;
    void drawInterior(QPainter& painter, const QRectF& frame, CellHost& host) override;

private:
    bool m_hasShadow = false;
};

} // namespace tavrel
