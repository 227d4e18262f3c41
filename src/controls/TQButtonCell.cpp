#include "controls/TQButtonCell.h"

#include "controls/ShadowPainter.h"
#include "controls/SystemColors.h"
#include "platform/ui/CellHost.h"

namespace tavrel {

bool TQButtonCell::startTracking(const QPointF&, CellHost& host)
{
    setHighlighted(true);
    host.updateCellRect(lastFrame());
    return true;
}

bool TQButtonCell::continueTracking(const QPointF&, const QPointF& current, CellHost& host)
{
    if (frameContains(lastFrame(), current)) {
        if (!isHighlighted()) {
            setHighlighted(true);
            host.updateCellRect(lastFrame());
        }
    } else {
        setHighlighted(false);
        host.updateCellRect(lastFrame());
    }
    // Tracking goes on until the mouse goes up.
    return true;
}

void TQButtonCell::stopTracking(const QPointF&, const QPointF&, CellHost& host, bool)
{
    setHighlighted(false);
    host.updateCellRect(lastFrame());
}

void TQButtonCell::drawInterior(QPainter& painter, const QRectF& frame, CellHost& host)
{
    if (isHighlighted() && m_hasShadow) {
        ShadowPainter::paintWithShadow(painter, frame, SystemColors::controlShadowColor(), QPointF(), 3,
                                       [&](QPainter& p) { BasicButtonCell::drawInterior(p, frame, host); });
        return;
    }
    BasicButtonCell::drawInterior(painter, frame, host);
}

} // namespace tavrel
