#pragma once

#include "controls/BasicButtonCell.h"
#include "controls/TQHoverableCell.h"
#include "platform/runtime/Timing.h"

namespace tavrel {

// The image cell of the sidebar and filter bar buttons: an off image, an on image and a pressed image.
// Its title is a key of the string table, not a displayed text: resting on the button shows that text
// in the shared tooltip beside the bar, after two seconds, or at once when a tooltip is already up; the
// tooltip stays two seconds after the mouse leaves.
class TQSwitchButtonCell : public BasicButtonCell, public TQHoverableCell
{
    TAVREL_CELL(TQSwitchButtonCell)
public:
    // How long the mouse rests before the tooltip shows, and how long it stays after leaving.
    static inline const Timing kTooltipDelay{"switchTooltipDelay", 2000};
    static inline const Timing kTooltipLinger{"switchTooltipLinger", 2000};

    explicit TQSwitchButtonCell(const QString& titleKey = QString());
    TQSwitchButtonCell(const TQSwitchButtonCell& other);
    TQSwitchButtonCell& operator=(const TQSwitchButtonCell&) = delete;
    ~TQSwitchButtonCell() override;

    QPixmap offImage() const { return image(); }
    void setOffImage(const QPixmap& image) { setImage(image); }
    QPixmap onImage() const { return alternateImage(); }
    void setOnImage(const QPixmap& image) { setAlternateImage(image); }
    QPixmap highlightImage() const { return m_highlightImage; }
    void setHighlightImage(const QPixmap& image) { m_highlightImage = image; }

    bool hovered() const override { return isHovered(); }
    void setHovered(bool hovered) override;
    // Shows the tooltip for a point of the control view (the middle of the cell).
    void showTooltipAt(const QPointF& point);

    // Records the frame; while pressed the highlight image takes the on image's place.
    void drawWithFrame(QPainter& painter, const QRectF& frame, CellHost& host) override;

private:
    QPixmap m_highlightImage;
};

} // namespace tavrel
