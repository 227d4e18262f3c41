#pragma once

#include "chrome/TQSpinStatusSubcontroller.h"

class QProgressBar;

namespace tavrel {

// How the status bar shows a progress entry: the label beside a thin bar (0 to 100, 6 points high).
// Its layout is fixed; the bar's width does not depend on the text.
class TQProgressStatusSubcontroller : public TQSpinStatusSubcontroller
{
    Q_OBJECT
public:
    using TQSpinStatusSubcontroller::TQSpinStatusSubcontroller;

    QProgressBar* progressBar();
    void layoutSubviews() override {}

protected:
    void loadView() override;
    // The label stretches beside the bar and clips its text.
    void showLabelText() override;
};

} // namespace tavrel
