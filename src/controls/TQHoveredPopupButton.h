#pragma once

#include "controls/BasicPopUpButton.h"

namespace tavrel {

// A pop-up button that follows the mouse and passes its hover state to its cell (the inverted pop-up
// cell), drawing the cell in a band 22 points high across the middle of its bounds.
class TQHoveredPopupButton : public BasicPopUpButton
{
    Q_OBJECT
public:
    explicit TQHoveredPopupButton(QWidget* parent = nullptr);
    explicit TQHoveredPopupButton(std::shared_ptr<BasicPopUpButtonCell> cell, QWidget* parent = nullptr);

    // Set while the mouse is inside the enabled button.
    bool hovered() const { return m_hovered; }
    // Where the cell draws.
    QRectF cellFrame() const;

    void onMenuAppeared() {}
    void onMenuDisappeared() {}

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_hovered = false;
};

} // namespace tavrel
