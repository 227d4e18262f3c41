#include "controls/TQHighlightHostView.h"

#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/DragBus.h"

#include <QEvent>
#include <QPainter>

namespace tavrel {

TQHighlightHostView::TQHighlightHostView(QWidget* parent) : TQHostView(parent)
{
    observeDragArea(parent != nullptr);
}

TQHighlightHostView::~TQHighlightHostView()
{
    observeDragArea(false);
}

void TQHighlightHostView::setHighlightDrag(bool highlight)
{
    m_highlightDrag = highlight;
    update();
}

void TQHighlightHostView::toggleHighlight(const Notification& notification)
{
    setHighlightDrag(notification.name() == DragBus::kDragAreaHighlightNotification);
}

QColor TQHighlightHostView::highlightColor()
{
    return QColor::fromRgbF(0.70703125f, 0.83203125f, 1.0f, 1.0f);
}

bool TQHighlightHostView::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange)
        observeDragArea(parentWidget() != nullptr);
    return TQHostView::event(event);
}

void TQHighlightHostView::drawRect(QPainter& painter)
{
    TQHostView::drawRect(painter);
    if (!m_highlightDrag)
        return;
    // A frame inside the part of the view that can be seen (a scroll view may hide the rest).
    const QRect visible = visibleRegion().boundingRect().isEmpty() ? rect() : visibleRegion().boundingRect();
    const QColor color = highlightColor();
    const int w = kHighlightWidth;
    painter.save();
    painter.fillRect(QRect(visible.left(), visible.top(), visible.width(), w), color);
    painter.fillRect(QRect(visible.left(), visible.bottom() + 1 - w, visible.width(), w), color);
    painter.fillRect(QRect(visible.left(), visible.top() + w, w, visible.height() - 2 * w), color);
    painter.fillRect(QRect(visible.right() + 1 - w, visible.top() + w, w, visible.height() - 2 * w), color);
    painter.restore();
}

void TQHighlightHostView::observeDragArea(bool observe)
{
    if (observe == m_observing)
        return;
    m_observing = observe;
    NotificationCenter& center = NotificationCenter::defaultCenter();
    if (!observe) {
        center.removeObserver(this);
        return;
    }
    const auto toggle = [this](const Notification& notification) { toggleHighlight(notification); };
    center.addObserver(this, DragBus::kDragAreaCleanNotification, QVariant(), toggle);
    center.addObserver(this, DragBus::kDragAreaHighlightNotification, QVariant(), toggle);
}

} // namespace tavrel
