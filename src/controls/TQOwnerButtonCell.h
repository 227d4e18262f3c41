#pragma once

#include "controls/TQFlatButtonCell.h"

namespace tavrel {

// The small "owner" badge of the sharing lists.
class TQOwnerButtonCell : public TQFlatButtonCell
{
    TAVREL_CELL(TQOwnerButtonCell)
public:
    explicit TQOwnerButtonCell(const QString& title = QStringLiteral("")) { setTitle(title); }

    QFont titleFont() const override;
    QColor titleColor() const override;
    QColor borderColor() const override;
    QColor borderShadowColor() const override { return {}; }
    QPixmap regularImage() const override;
};

} // namespace tavrel
