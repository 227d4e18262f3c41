#pragma once

#include "controls/BasicButtonCell.h"

namespace tavrel {

// A person's picture clipped to a rounded square: the generic pictures (images named "user…") on a
// white backing, with an optional glow over it.
class TQImageWellCell : public BasicButtonCell
{
    TAVREL_CELL(TQImageWellCell)
public:
    TQImageWellCell();

    bool hasGlow() const { return m_hasGlow; }
    void setHasGlow(bool glow) { m_hasGlow = glow; }

    void drawInterior(QPainter& painter, const QRectF& frame, CellHost& host) override;

private:
    bool m_hasGlow = false;
};

} // namespace tavrel
