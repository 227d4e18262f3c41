#pragma once

#include "controls/TQRadioButtonbar.h"

namespace tavrel {

// The filter bar whose buttons are text buttons (hovered text button cells) spread evenly across it:
// equal gaps before, between and after them, each centred vertically at its own size.
class TQTextFilterbar : public TQRadioButtonbar
{
    Q_OBJECT
public:
    using TQRadioButtonbar::TQRadioButtonbar;

    // Adopts the text buttons among its children, in child order, with the selected background.
    void awakeFromNib() override;
    void layoutButtons() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace tavrel
