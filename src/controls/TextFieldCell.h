#pragma once

#include "controls/TQHoverableCell.h"
#include "platform/ui/Cell.h"

namespace tavrel {

// The cell a text field draws its text with while it is not being edited: one line, left aligned and
// vertically centred, elided at the end. It adopts the hover protocol: while hovered it shows its text
// as a link (underlined, in the accent colour), as the link titles of the rows do.
class TextFieldCell : public Cell, public TQHoverableCell
{
    TAVREL_CELL(TextFieldCell)
public:
    TextFieldCell() = default;
    explicit TextFieldCell(const QString& text) : Cell(text) {}

    bool hovered() const override { return isHovered(); }
    void setHovered(bool hovered) override { Cell::setHovered(hovered); }

    void paint(QPainter& painter, const QRectF& frame, CellHost& host) override;
    // The text's width with the padding on both sides, and one line's height.
    QSizeF cellSize(const QSizeF& bounds = QSizeF()) const override;

    // Space between the frame's edges and the text.
    static constexpr qreal kPadding = 2;
    static QColor linkColor();
};

} // namespace tavrel
