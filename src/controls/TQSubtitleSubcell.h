#pragma once

#include "controls/RowTextCell.h"

namespace tavrel {

// The small grey text of a row's second and third lines.
class TQSubtitleSubcell : public RowTextCell
{
    TAVREL_CELL(TQSubtitleSubcell)
public:
    explicit TQSubtitleSubcell(const QString& text = QString());
};

} // namespace tavrel
