#pragma once

#include "controls/BasicButtonCell.h"

namespace tavrel {

// A check box drawn by the desktop's style, as a row's state part: on, off or mixed; a click released
// inside it flips it and sends its action. Dimmed and not tracked while disabled.
class RowCheckBoxCell : public BasicButtonCell
{
    TAVREL_CELL(RowCheckBoxCell)
public:
    RowCheckBoxCell();

    bool startTracking(const QPointF& point, CellHost& host) override;
    void drawInterior(QPainter& painter, const QRectF& frame, CellHost& host) override;
};

} // namespace tavrel
