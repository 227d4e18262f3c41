#include "platform/ui/Cell.h"

#include "platform/ui/CellHost.h"
#include "platform/ui/CurrentEvent.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ResponderChain.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QWidget>

namespace tavrel {

namespace {
constexpr qreal kImageTitleSpacing = 4;
constexpr qreal kDisabledOpacity = 0.45;
} // namespace

CellMouseEvent CellMouseEvent::from(const QMouseEvent& event)
{
    CellMouseEvent cellEvent;
    cellEvent.position = event.position();
    cellEvent.button = event.button();
    cellEvent.modifiers = event.modifiers();
    cellEvent.clickCount = CurrentEvent::clickCount();
    return cellEvent;
}

Cell::Cell(const QString& title) : m_title(title) {}

std::unique_ptr<Cell> Cell::clone() const
{
    return std::make_unique<Cell>(*this);
}

QFont Cell::font() const
{
    return m_hasFont ? m_font : QApplication::font();
}

void Cell::paint(QPainter& painter, const QRectF& frame, CellHost& host)
{
    const QPixmap image =
        (m_highlighted || m_state == On) && !m_alternateImage.isNull() ? m_alternateImage : m_image;
    const qreal opacity = m_enabled ? 1.0 : kDisabledOpacity;
    const QSizeF imageSize = image.isNull() ? QSizeF(0, 0) : image.deviceIndependentSize();
    const QSizeF textSize = m_title.isEmpty() ? QSizeF(0, 0) : Drawing::textSize(m_title, font());
    const qreal spacing = !image.isNull() && !m_title.isEmpty() ? kImageTitleSpacing : 0;
    const QRectF content = Drawing::centered(
        QSizeF(qMin(frame.width(), imageSize.width() + spacing + textSize.width()), frame.height()), frame);

    if (!image.isNull())
        Drawing::drawPixmap(painter,
                            Drawing::centered(imageSize, QRectF(content.topLeft(),
                                                                QSizeF(imageSize.width(), content.height()))),
                            image, opacity);
    if (!m_title.isEmpty()) {
        QColor color = m_textColor;
        if (!color.isValid()) {
            const QWidget* widget = host.hostWidget();
            color = (widget ? widget->palette() : QApplication::palette()).color(QPalette::WindowText);
        }
        if (!m_enabled)
            color.setAlphaF(color.alphaF() * kDisabledOpacity);
        const QRectF textRect(content.x() + imageSize.width() + spacing, content.y(),
                              content.width() - imageSize.width() - spacing, content.height());
        Drawing::drawText(painter, textRect, m_title, font(), color,
                          image.isNull() ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    }
}

QSizeF Cell::cellSize(const QSizeF&) const
{
    const QSizeF imageSize = m_image.isNull() ? QSizeF(0, 0) : m_image.deviceIndependentSize();
    const QSizeF textSize = m_title.isEmpty() ? QSizeF(0, 0) : Drawing::textSize(m_title, font());
    const qreal spacing = !m_image.isNull() && !m_title.isEmpty() ? kImageTitleSpacing : 0;
    return {Drawing::ceilf(imageSize.width() + spacing + textSize.width()),
            Drawing::ceilf(qMax(imageSize.height(), textSize.height()))};
}

Cell::HitResults Cell::hitTest(const QPointF& point, const QRectF& frame) const
{
    if (!frameContains(frame, point))
        return None;
    return ContentArea | (m_trackable && m_enabled ? TrackableArea : None);
}

void Cell::setOnline(bool online)
{
    if (online == m_online)
        return;
    m_online = online;
    onlineChanged();
}

bool Cell::mousePressed(const CellMouseEvent& event, const QRectF& frame, CellHost& host)
{
    if (!m_enabled)
        return false;
    m_tracking = true;
    m_trackingFrame = frame;
    m_lastTrackingPoint = event.position;
    if (!startTracking(event.position, host)) {
        m_tracking = false;
        return false;
    }
    return true;
}

void Cell::mouseDragged(const CellMouseEvent& event, CellHost& host)
{
    if (!m_tracking)
        return;
    const bool inside = frameContains(m_trackingFrame, event.position);
    if ((!inside && !prefersTrackingUntilMouseUp()) ||
        !continueTracking(m_lastTrackingPoint, event.position, host)) {
        m_tracking = false;
        stopTracking(m_lastTrackingPoint, event.position, host, false);
        return;
    }
    m_lastTrackingPoint = event.position;
}

bool Cell::mouseReleased(const CellMouseEvent& event, CellHost& host)
{
    if (!m_tracking)
        return false;
    m_tracking = false;
    stopTracking(m_lastTrackingPoint, event.position, host, true);
    if (!frameContains(m_trackingFrame, event.position))
        return false;
    trackingDidEndInside(host);
    return true;
}

void Cell::cancelTracking(CellHost& host)
{
    if (!m_tracking)
        return;
    m_tracking = false;
    stopTracking(m_lastTrackingPoint, m_lastTrackingPoint, host, false);
}

void Cell::mouseMoved(const QPointF&, const QRectF&, CellHost&) {}

bool Cell::startTracking(const QPointF&, CellHost& host)
{
    setHighlighted(true);
    host.updateCellRect(m_trackingFrame);
    return true;
}

bool Cell::continueTracking(const QPointF&, const QPointF& current, CellHost& host)
{
    const bool inside = frameContains(m_trackingFrame, current);
    if (inside != m_highlighted) {
        setHighlighted(inside);
        host.updateCellRect(m_trackingFrame);
    }
    return true;
}

void Cell::stopTracking(const QPointF&, const QPointF&, CellHost& host, bool)
{
    setHighlighted(false);
    host.updateCellRect(m_trackingFrame);
}

void Cell::trackingDidEndInside(CellHost& host)
{
    sendAction(host);
}

void Cell::performClick(CellHost& host)
{
    if (m_enabled)
        sendAction(host);
}

namespace {
bool send(Cell& cell, const Cell::Action& action, const QString& command, QObject* target, CellHost& host)
{
    if (action) {
        action(cell);
        return true;
    }
    if (command.isEmpty())
        return false;
    // Like a control without a target, the command starts at the first responder.
    return ResponderChain::send(command, host.hostWidget(), target) != nullptr;
}
} // namespace

bool Cell::sendAction(CellHost& host)
{
    // Copies of the function keep it alive while it runs, even when it replaces the cell's action.
    const Action action = m_action;
    return send(*this, action, m_command, m_target, host);
}

bool Cell::sendDoubleAction(CellHost& host)
{
    const Action action = m_doubleAction;
    return send(*this, action, m_doubleCommand, m_target, host);
}

} // namespace tavrel
