#pragma once

#include "controls/TQFlatButtonCell.h"
#include "controls/TQHoverableCell.h"

namespace tavrel {

// The text button of the filter bars: only its title shows until it is on or hovered; on, it shows
// its background image and a border. The title darkens while hovered or on.
class TQHoverdTextButtonCell : public TQFlatButtonCell, public TQHoverableCell
{
    TAVREL_CELL(TQHoverdTextButtonCell)
public:
    explicit TQHoverdTextButtonCell(const QString& title = QStringLiteral(""));

    QPixmap backgroundImage() const { return m_backgroundImage; }
    void setBackgroundImage(const QPixmap& image) { m_backgroundImage = image; }
    // Kept for the owner; the drawing does not use it.
    bool shouldDrawBorderOnSelect() const { return m_shouldDrawBorderOnSelect; }
    void setShouldDrawBorderOnSelect(bool draw) { m_shouldDrawBorderOnSelect = draw; }

    // Both set the title again, so that its colour follows.
    void setState(int state) override;
    bool hovered() const override { return isHovered(); }
    void setHovered(bool hovered) override;
    // Never selected.
    void setSelected(bool) override {}

    QColor titleColor() const override;
    QRectF titleRectForBounds(const QRectF& bounds) const override;
    QRectF drawingRectForBounds(const QRectF& bounds) const override;
    QColor borderColor() const override;
    QPixmap activeImage() const override { return m_backgroundImage; }
    QPixmap regularImage() const override;
    QColor borderShadowColor() const override { return {}; }
    QColor titleShadowColor() const override { return {}; }

private:
    QPixmap m_backgroundImage;
    bool m_shouldDrawBorderOnSelect = false;
};

} // namespace tavrel
