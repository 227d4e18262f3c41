#pragma once

#include "platform/ui/Cell.h"

#include <memory>

namespace tavrel {

// The photo of a row: its image scaled proportionally and centred, clipped to a rectangle with
// rounded corners, optionally with a soft pressed-in rim. It decides on the press itself, without
// following the mouse: a single click sends its action, a double click its double action (so a double
// click sends the action on its first click and the double action on its second).
class TQPhotoSubcell : public Cell
{
    TAVREL_CELL(TQPhotoSubcell)
public:
    TQPhotoSubcell() = default;
    explicit TQPhotoSubcell(const QPixmap& image) { setImage(image); }
    static std::shared_ptr<TQPhotoSubcell> cell() { return std::make_shared<TQPhotoSubcell>(); }

    bool pressInShadow() const { return m_pressInShadow; }
    void setPressInShadow(bool press) { m_pressInShadow = press; }

    // The base answer with the trackable bit.
    HitResults hitTest(const QPointF& point, const QRectF& frame) const override;
    // Sends the action for one click or the double action for two; answers whether one was sent.
    bool trackMouse(const CellMouseEvent& event, CellHost& host);
    // The press is decided at once (trackMouse): nothing is tracked after it.
    bool mousePressed(const CellMouseEvent& event, const QRectF& frame, CellHost& host) override;
    void paint(QPainter& painter, const QRectF& frame, CellHost& host) override;

    static constexpr qreal kCornerRadius = 3;

private:
    bool m_pressInShadow = false;
};

} // namespace tavrel
