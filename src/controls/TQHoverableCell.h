#pragma once

namespace tavrel {

// How a control, or a composite row cell drawing its subcells, tells a cell (or a control) that the
// mouse is over it. The adopter decides what hovering changes; a disabled one may ignore it.
class TQHoverableCell
{
public:
    virtual ~TQHoverableCell() = default;
    virtual bool hovered() const = 0;
    virtual void setHovered(bool hovered) = 0;
};

} // namespace tavrel
