#include "controls/TQOwnerButtonCell.h"

#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"

namespace tavrel {

QFont TQOwnerButtonCell::titleFont() const
{
    return Drawing::font(10);
}

QColor TQOwnerButtonCell::titleColor() const
{
    return Drawing::grey(0.59765625);
}

QColor TQOwnerButtonCell::borderColor() const
{
    return QColor::fromRgbF(0.65234375f, 0.65234375f, 0.66015625f);
}

QPixmap TQOwnerButtonCell::regularImage() const
{
    return ImageRegistry::pixmap(QStringLiteral("owner_background"));
}

} // namespace tavrel
