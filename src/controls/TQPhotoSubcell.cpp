#include "controls/TQPhotoSubcell.h"

#include "controls/ShadowPainter.h"
#include "platform/ui/Drawing.h"

#include <QPainter>
#include <QPainterPath>

namespace tavrel {

Cell::HitResults TQPhotoSubcell::hitTest(const QPointF& point, const QRectF& frame) const
{
    if (!frameContains(frame, point))
        return None;
    return Cell::hitTest(point, frame) | TrackableArea;
}

bool TQPhotoSubcell::trackMouse(const CellMouseEvent& event, CellHost& host)
{
    // Only a target that has the method is sent anything: a command without a target stays here.
    if (event.clickCount == 1 && (action() || (target() && !command().isEmpty())))
        return sendAction(host);
    if (event.clickCount == 2 && (doubleAction() || (target() && !doubleCommand().isEmpty())))
        return sendDoubleAction(host);
    return false;
}

bool TQPhotoSubcell::mousePressed(const CellMouseEvent& event, const QRectF&, CellHost& host)
{
    trackMouse(event, host);
    return false;
}

void TQPhotoSubcell::paint(QPainter& painter, const QRectF& frame, CellHost&)
{
    QPainterPath path;
    path.addRoundedRect(frame, kCornerRadius, kCornerRadius);
    painter.save();
    painter.setClipPath(path);
    const QPixmap photo = image();
    if (!photo.isNull()) {
        QSizeF size = photo.deviceIndependentSize();
        size.scale(frame.size(), Qt::KeepAspectRatio);
        Drawing::drawPixmap(painter, Drawing::centered(size, frame), photo);
    }
    if (m_pressInShadow) {
        // Inside the clip only the inner half of the rim shows, with the shadow it casts inwards.
        ShadowPainter::paintWithShadow(painter, frame, Drawing::grey(0.5), QPointF(0, 0), 4,
                                       [&](QPainter& p) {
                                           p.setPen(QPen(Drawing::grey(2.0 / 3.0), 1));
                                           p.setBrush(Qt::NoBrush);
                                           p.drawPath(path);
                                       });
    }
    painter.restore();
}

} // namespace tavrel
