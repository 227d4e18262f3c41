#include "controls/TQTriSwitchButton.h"

#include "controls/DelayedPerform.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace tavrel {

TQTriSwitchButton::TQTriSwitchButton(QWidget* parent) : TQSwitchButton(parent) {}

TQTriSwitchButton::~TQTriSwitchButton()
{
    DelayedPerform::cancelPreviousPerformRequests(this);
}

void TQTriSwitchButton::precacheButtonImages()
{
    TQSwitchButton::precacheButtonImages();
    ImageRegistry::pixmap(QStringLiteral("button_comment"));
}

qreal TQTriSwitchButton::third(qreal width)
{
    return Drawing::ceilf(width / 3);
}

QRectF TQTriSwitchButton::initialKnobRect(const QRectF& interior) const
{
    return {interior.x(), interior.y(), third(interior.width()), interior.height()};
}

void TQTriSwitchButton::drawTrack(QPainter& painter, const QRectF& track)
{
    const qreal w = track.width() + 4; // the button's width
    const qreal h = track.height() + 4;
    const qreal t = third(w - 6);
    painter.save();
    painter.translate(track.topLeft());
    drawFace(painter, QRectF(1, 1, t, h - 6), QStringLiteral("button_edit"));
    drawFace(painter, QRectF(1 + (w - 6) / 2 - t / 2, 1, t, h - 6), QStringLiteral("button_view"));
    drawFace(painter, QRectF(w - 5 - t, 1, t, h - 6), QStringLiteral("button_comment"));
    const qreal separator = third(track.width());
    const QColor line = QColor::fromRgbF(0.65234375f, 0.65234375f, 0.66015625f, 1.0f);
    painter.fillRect(QRectF(separator, 4, 1, track.height() - 8), line);
    painter.fillRect(QRectF(track.width() - separator, 4, 1, track.height() - 8), line);
    painter.restore();
}

void TQTriSwitchButton::applyStateForPoint(const QPointF& point)
{
    const qreal t = third(width());
    const QRectF left(0, 0, t, height());
    const QRectF centre(width() / 2.0 - t / 2, 0, t, height());
    const QRectF right(width() - t, 0, t, height());
    if (left.contains(point))
        setState(Off);
    else if (centre.contains(point))
        setState(On);
    else if (right.contains(point))
        setState(Mixed);
}

QString TQTriSwitchButton::faceForState(int state) const
{
    switch (state) {
    case Mixed:
        return QStringLiteral("button_comment");
    case Off:
        return QStringLiteral("button_edit");
    case On:
        return QStringLiteral("button_view");
    default:
        return QString();
    }
}

qreal TQTriSwitchButton::knobCenterForState(int state) const
{
    const qreal track = trackFrame().width();
    const qreal knob = knobFrame().width();
    switch (state) {
    case Off:
        return knob / 2 + 2;
    case On:
        return track / 2 + 2;
    default:
        return track - knob / 2 + 2;
    }
}

void TQTriSwitchButton::setState(int state)
{
    if (state == m_state)
        return;
    m_state = state;
    if (hasLayers())
        updateKnobPosition();
}

void TQTriSwitchButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    const QPointF point = event->position();
    if (onKnob(point)) {
        m_clickedPoint = point;
        highlight(true);
    } else {
        highlight(false);
    }
}

void TQTriSwitchButton::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || !isEnabled())
        return;
    const QPointF point = event->position();
    if (rect().contains(point.toPoint()))
        applyStateForPoint(point);
    highlight(onKnob(point));
}

void TQTriSwitchButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    const QPointF point = event->position();
    if (rect().contains(point.toPoint()) && point != m_clickedPoint)
        applyStateForPoint(point);
    highlight(false);
    const QPointer<TQTriSwitchButton> guard = this;
    DelayedPerform::perform(this, kActionDelay.milliseconds(), [guard] {
        if (guard)
            guard->sendAction();
    });
}

} // namespace tavrel
