#pragma once

#include "controls/TQTriStateButton.h"

namespace tavrel {

// The small remove button: always the "remove" images, whatever was set on it.
class TQRemoveItemButton : public TQTriStateButton
{
    Q_OBJECT
public:
    explicit TQRemoveItemButton(QWidget* parent = nullptr);

    // Captures nothing: the images are fixed.
    void awakeFromNib() override {}
    QPixmap normalImage() const override;
    QPixmap hoverImage() const override;
    QPixmap pressedImage() const override;
};

} // namespace tavrel
