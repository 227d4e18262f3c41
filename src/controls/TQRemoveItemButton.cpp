#include "controls/TQRemoveItemButton.h"

#include "platform/ui/ImageRegistry.h"

namespace tavrel {

TQRemoveItemButton::TQRemoveItemButton(QWidget* parent) : TQTriStateButton(parent)
{
    setImage(normalImage());
    setAlternateImage(pressedImage());
}

QPixmap TQRemoveItemButton::normalImage() const
{
    return ImageRegistry::pixmap(QStringLiteral("remove_regular"));
}

QPixmap TQRemoveItemButton::hoverImage() const
{
    return ImageRegistry::pixmap(QStringLiteral("remove_hover"));
}

QPixmap TQRemoveItemButton::pressedImage() const
{
    return ImageRegistry::pixmap(QStringLiteral("remove_active"));
}

} // namespace tavrel
