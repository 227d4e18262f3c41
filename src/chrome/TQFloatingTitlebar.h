#pragma once

#include "chrome/TitlebarBase.h"

namespace tavrel {

// The title bar of floating and utility windows: its back buttons are re-skinned as arrow buttons and
// come and go without animation.
class TQFloatingTitlebar : public TitlebarBase
{
    Q_OBJECT
public:
    using TitlebarBase::TitlebarBase;

    // The button (a cell button) gets a back-button cell with its title, keeping the action,
    // command and target it had, and its fitting size.
    void pushNavigationButton(QAbstractButton* button) override;
    void popNavigationButton() override;
};

} // namespace tavrel
