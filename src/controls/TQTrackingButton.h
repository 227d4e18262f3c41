#pragma once

#include "controls/TQHoverableCell.h"
#include "platform/ui/CellButton.h"

namespace tavrel {

// A button that tells its cell when the mouse hovers over it (the cell host does so on enter and
// leave while the button is enabled), so that hover-aware cells change their look. A disabled button
// leaves its cell's hover as it was until the next exit while enabled.
class TQTrackingButton : public CellButton
{
    Q_OBJECT
public:
    explicit TQTrackingButton(QWidget* parent = nullptr);
    explicit TQTrackingButton(std::shared_ptr<Cell> cell, QWidget* parent = nullptr);

    // The button's own cell when it adopts the hover protocol, else nullptr.
    TQHoverableCell* hoverCell() const { return dynamic_cast<TQHoverableCell*>(cell()); }
};

} // namespace tavrel
