#pragma once

#include "controls/TQHoverdButtonCell.h"

namespace tavrel {

// The state badge of a document row: "new", "modified", or the favourite star off and on. While
// hovered, a trackable badge shows the star it would set, and a click sends its action. The list
// sets the state (and, for new items, the on/off state) before each row is drawn.
class TQStateItemCell : public TQHoverdButtonCell
{
    TAVREL_CELL(TQStateItemCell)
public:
    enum ItemState {
        StateNone = 0,
        StateNew = 1,
        StateModified = 2,
        StateFavoriteOff = 3,
        StateFavoriteOn = 4
    };

    TQStateItemCell();

    int itemState() const { return m_itemState; }
    // Nothing when unchanged; otherwise the images, on/off state and trackability of the state.
    void setItemState(int state);
    bool trackable() const { return isTrackable(); }

    // Acts only while trackable and enabled.
    void setHovered(bool hovered) override;

    bool mousePressed(const CellMouseEvent& event, const QRectF& frame, CellHost& host) override;
    bool startTracking(const QPointF& point, CellHost& host) override;
    void stopTracking(const QPointF& last, const QPointF& stop, CellHost& host, bool mouseIsUp) override;
    // The image (the alternate one while on) scaled into the whole frame; no title, no shadow.
    void drawInterior(QPainter& painter, const QRectF& frame, CellHost& host) override;

private:
    int m_itemState = StateNone;
};

} // namespace tavrel
