#include "controls/TQBigDefaultButtonCell.h"

#include "platform/ui/Drawing.h"

namespace tavrel {

QFont TQBigDefaultButtonCell::titleFont() const
{
    return Drawing::font(14, QFont::Bold);
}

} // namespace tavrel
