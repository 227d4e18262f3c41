#pragma once

#include "controls/BasicPopUpButtonCell.h"
#include "controls/TQHoverableCell.h"

namespace tavrel {

// A pop-up face drawn light on dark: the selected item's white image, a white bold title with a dark
// shadow, and the "arrows" image, on a background that changes while the mouse hovers.
class TQInvertedPopupCell : public BasicPopUpButtonCell, public TQHoverableCell
{
    TAVREL_CELL(TQInvertedPopupCell)
public:
    explicit TQInvertedPopupCell(const QString& title = QStringLiteral(""), bool pullsDown = false);

    QPixmap regularBackground() const { return m_regularBackground; }
    void setRegularBackground(const QPixmap& image) { m_regularBackground = image; }
    QPixmap hoverBackground() const { return m_hoverBackground; }
    void setHoverBackground(const QPixmap& image) { m_hoverBackground = image; }
    bool hovered() const override { return isHovered(); }
    void setHovered(bool hovered) override { BasicPopUpButtonCell::setHovered(hovered); }
    // The title's style: bold 13, white, centred.
    AttributedText styler() const { return m_styler; }

    void drawInterior(QPainter& painter, const QRectF& frame, CellHost& host) override;
    void drawInvertedWithFrame(QPainter& painter, const QRectF& frame);

private:
    QPixmap m_regularBackground;
    QPixmap m_hoverBackground;
    AttributedText m_styler;
};

} // namespace tavrel
