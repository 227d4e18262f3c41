#pragma once

#include "platform/ui/Cell.h"

namespace tavrel {

// How a control, or a composite row cell drawing its subcells, tells a cell that the mouse is over it.
// A cell adopts it beside Cell and decides itself what hovering changes (an image, a title colour, the
// cursor); both methods are required, so an adopter that forgets one does not compile:
//
//     class TQHoverdButtonCell : public Cell, public TQHoverableCell
//     {
//     public:
//         bool hovered() const override { return isHovered(); }
//         void setHovered(bool hovered) override; // overrides Cell::setHovered as well
//     };
//
// Lists never send setHovered to their row cells: a composite row cell sets it on its subcells while
// it draws, from the mouse position of the current event.
class TQHoverableCell
{
public:
    virtual ~TQHoverableCell() = default;

    virtual bool hovered() const = 0;
    virtual void setHovered(bool hovered) = 0;

    // The cell seen as a hoverable one; nullptr when it does not adopt the protocol.
    static TQHoverableCell* from(Cell* cell) { return dynamic_cast<TQHoverableCell*>(cell); }
    static const TQHoverableCell* from(const Cell* cell)
    {
        return dynamic_cast<const TQHoverableCell*>(cell);
    }
};

} // namespace tavrel
