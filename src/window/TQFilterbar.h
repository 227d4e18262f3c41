#pragma once

#include "controls/TQRadioButtonbar.h"

namespace tavrel {

// A horizontal radio bar of small square filter buttons spread evenly over its width; its delegate
// shows the list of the active button.
class TQFilterbar : public TQRadioButtonbar
{
    Q_OBJECT
public:
    static constexpr int kButtonSize = 24;

    explicit TQFilterbar(QWidget* parent = nullptr);
    // Switch-cell buttons among the children get their "_active" and "_on" images and become the
    // buttons (the first one on).
    void awakeFromNib() override;
    void layoutButtons() override;
    // The switch-cell buttons among a bar's children, in child order, each given its "_active"
    // highlight and "_on" images (the filter bars and the sidebar).
    static QList<QAbstractButton*> adoptSwitchButtons(QWidget* bar);

protected:
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace tavrel
