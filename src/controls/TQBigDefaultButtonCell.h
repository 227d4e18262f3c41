#pragma once

#include "controls/TQDefaultButtonCell.h"

namespace tavrel {

// The default button with a larger title.
class TQBigDefaultButtonCell : public TQDefaultButtonCell
{
    TAVREL_CELL(TQBigDefaultButtonCell)
public:
    explicit TQBigDefaultButtonCell(const QString& title = QStringLiteral("")) { setTitle(title); }
    QFont titleFont() const override;
};

} // namespace tavrel
