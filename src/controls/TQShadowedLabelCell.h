#pragma once

#include "platform/ui/Cell.h"

namespace tavrel {

// A text label drawn with a soft dark shadow one point under it.
class TQShadowedLabelCell : public Cell
{
    TAVREL_CELL(TQShadowedLabelCell)
public:
    explicit TQShadowedLabelCell(const QString& text = QString()) : Cell(text) {}

    QColor titleShadowColor() const { return QColor::fromRgbF(0, 0, 0, 0.7f); }
    void paint(QPainter& painter, const QRectF& frame, CellHost& host) override;
};

} // namespace tavrel
