#pragma once

#include "controls/BasicButtonCell.h"
#include "controls/TQHoverableCell.h"

namespace tavrel {

// An ordinary button interior on one of two background images, the second while the mouse hovers
// and the button is not pressed, inside a one-point black frame.
class TQHoveredBackgroundButtonCell : public BasicButtonCell, public TQHoverableCell
{
    TAVREL_CELL(TQHoveredBackgroundButtonCell)
public:
    explicit TQHoveredBackgroundButtonCell(const QString& title = QString()) : BasicButtonCell(title) {}

    QPixmap regularBackground() const { return m_regularBackground; }
    void setRegularBackground(const QPixmap& image) { m_regularBackground = image; }
    QPixmap hoverBackground() const { return m_hoverBackground; }
    void setHoverBackground(const QPixmap& image) { m_hoverBackground = image; }
    // Stores the flag only; the cell does not redraw by itself.
    bool hovered() const override { return isHovered(); }
    void setHovered(bool hovered) override { BasicButtonCell::setHovered(hovered); }

    void drawInterior(QPainter& painter, const QRectF& frame, CellHost& host) override;

private:
    QPixmap m_regularBackground;
    QPixmap m_hoverBackground;
};

} // namespace tavrel
