#include "controls/TQThreePartButtonCell.h"

#include "platform/ui/Drawing.h"

namespace tavrel {

QSizeF TQThreePartButtonCell::cellSize(const QSizeF& bounds) const
{
    return {TQArrowButtonCell::cellSize(bounds).width(), 22};
}

void TQThreePartButtonCell::setTitle(const QString& title)
{
    if (title.isNull()) {
        setAttributedTitle(AttributedText());
        return;
    }
    setAttributedTitle(makeTitle(title, Drawing::font(11)));
}

} // namespace tavrel
