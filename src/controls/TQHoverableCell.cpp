#include "controls/TQHoverableCell.h"

#include "platform/ui/Cell.h"

namespace tavrel {

TQHoverableCell* TQHoverableCell::from(Cell* cell)
{
    return dynamic_cast<TQHoverableCell*>(cell);
}

const TQHoverableCell* TQHoverableCell::from(const Cell* cell)
{
    return dynamic_cast<const TQHoverableCell*>(cell);
}

} // namespace tavrel
