#pragma once

#include "platform/ui/Cell.h"

namespace tavrel {

// The title of a title bar: bold dark-grey text, centred where it fits, with a white one-point shadow
// beneath it; no border. A title wider than the cell starts at its left edge, whole.
class TQTitlebarTitleCell : public Cell
{
    TAVREL_CELL(TQTitlebarTitleCell)
public:
    explicit TQTitlebarTitleCell(const QString& title = QStringLiteral("")) { setTitle(title); }

    static QFont titleFont();
    static QColor titleColor();
    static QColor titleShadowColor();

    // The text's size and where it lands in the bounds.
    QSizeF cellSize(const QSizeF& bounds = QSizeF()) const override;
    QRectF titleRectForBounds(const QRectF& bounds) const;
    void paint(QPainter& painter, const QRectF& frame, CellHost& host) override;
};

} // namespace tavrel
