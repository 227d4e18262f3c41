#pragma once

#include "controls/RowTextCell.h"
#include "controls/TQHoverableCell.h"

namespace tavrel {

// The bold title of a row that behaves as a link: underlined and with the pointing hand while the
// mouse is over it, and its action sent by a single click released inside the frame it tracks in.
// While it draws it decides its hover from the current event's mouse position, unless noAutoHover is
// set; then only setHovered from outside changes it.
class TQLinkTitleSubcell : public RowTextCell, public TQHoverableCell
{
    TAVREL_CELL(TQLinkTitleSubcell)
public:
    explicit TQLinkTitleSubcell(const QString& text = QString());

    bool hasLink() const { return m_hasLink; }
    void setHasLink(bool hasLink) { m_hasLink = hasLink; }
    bool noAutoHover() const { return m_noAutoHover; }
    void setNoAutoHover(bool noAutoHover) { m_noAutoHover = noAutoHover; }

    bool hovered() const override { return isHovered(); }
    // A change switches the cursor of a link: the pointing hand on, the arrow back when the hand shows
    // (a cursor some other part set stays).
    void setHovered(bool hovered) override;
    void setTitleAttributeLink(bool link) { setUnderlined(link); }

    HitResults hitTest(const QPointF& point, const QRectF& frame) const override;
    // The action only for a single click.
    void trackingDidEndInside(CellHost& host) override;
    void paint(QPainter& painter, const QRectF& frame, CellHost& host) override;

private:
    bool m_hasLink = false;
    bool m_noAutoHover = false;
};

} // namespace tavrel
