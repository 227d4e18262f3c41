#pragma once

#include "controls/TQButtonCell.h"
#include "controls/TQHoverableCell.h"

class QObject;

namespace tavrel {

// An image button cell with a regular and a hover image: the hover image shows while the mouse is
// over it or its row is selected. A double click does not hit it when it has an action, so that the
// double click reaches the row; otherwise it is tracked and keeps the list from selecting the row.
class TQHoverdButtonCell : public TQButtonCell, public TQHoverableCell
{
    TAVREL_CELL(TQHoverdButtonCell)
public:
    explicit TQHoverdButtonCell(const QString& title = QString()) : TQButtonCell(title) {}

    QPixmap regularImage() const { return m_regularImage; }
    // Also makes it the current image (when it differs from the one held).
    void setRegularImage(const QPixmap& image);
    QPixmap hoverImage() const { return m_hoverImage; }
    // Shown from the next hover or selection change on.
    void setHoverImage(const QPixmap& image) { m_hoverImage = image; }

    bool hovered() const override { return isHovered(); }
    // Ignored while disabled.
    void setHovered(bool hovered) override;
    // Followed also while disabled.
    void setSelected(bool selected) override;

    // Stored for the owner, which reports it; the cell starts no animation itself.
    bool shouldAnimateHover() const { return m_shouldAnimateHover; }
    void setShouldAnimateHover(bool animate) { m_shouldAnimateHover = animate; }

    HitResults hitTest(const QPointF& point, const QRectF& frame) const override;
    // Whether a click sends something: an action function, or a command with a target.
    bool hasTargetAndAction() const;

    // The end of a hover fade that its starter ran with the view to remove stored under the
    // property "holder": the view leaves its parent, whose area is redrawn, and "holder" becomes "".
    static void animationDidStop(QObject* animation, bool finished);

private:
    void showImageForState();

    QPixmap m_regularImage;
    QPixmap m_hoverImage;
    bool m_shouldAnimateHover = false;
};

} // namespace tavrel
