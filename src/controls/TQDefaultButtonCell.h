#pragma once

#include "controls/TQNormalButtonCell.h"

namespace tavrel {

// The blue default button. A disabled one keeps a near-white title on its pale face instead of the
// greyed title of a disabled button.
class TQDefaultButtonCell : public TQNormalButtonCell
{
    TAVREL_CELL(TQDefaultButtonCell)
public:
    explicit TQDefaultButtonCell(const QString& title = QStringLiteral(""));

    QPixmap activeImage() const override;
    QPixmap regularImage() const override;
    QColor titleColor() const override;
    QColor titleShadowColor() const override;
    QColor borderColor() const override;
    // Dark: the interior draws light on dark.
    int interiorBackgroundStyle() const { return 1; }
    // Also redraws the whole control view.
    void setEnabled(bool enabled) override;
    void drawTitle(QPainter& painter, const AttributedText& title, const QRectF& rect) override;
};

} // namespace tavrel
