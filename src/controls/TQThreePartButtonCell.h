#pragma once

#include "controls/TQArrowButtonCell.h"

namespace tavrel {

// The back button of the floating title bar: an arrow cell 22 high with a small white title.
class TQThreePartButtonCell : public TQArrowButtonCell
{
    TAVREL_CELL(TQThreePartButtonCell)
public:
    explicit TQThreePartButtonCell(const QString& title = QStringLiteral("")) { setTitle(title); }

    QColor titleColor() const override { return Qt::white; }
    QColor titleShadowColor() const override { return {}; }
    QSizeF cellSize(const QSizeF& bounds = QSizeF()) const override;
    // Always in the small regular font, whatever titleFont says.
    void setTitle(const QString& title) override;
};

} // namespace tavrel
