#include "controls/TQDoubleActionButton.h"

#include "controls/BasicButtonCell.h"
#include "platform/runtime/Invocation.h"
#include "platform/ui/CurrentEvent.h"

#include <QMouseEvent>

namespace tavrel {

TQDoubleActionButton::TQDoubleActionButton(QWidget* parent) : TQDoubleActionButton(nullptr, parent) {}

TQDoubleActionButton::TQDoubleActionButton(std::shared_ptr<Cell> cell, QWidget* parent)
    : CellButton(cell ? std::move(cell) : std::make_shared<BasicButtonCell>(), parent)
{
    updateCursor();
}

void TQDoubleActionButton::mousePressEvent(QMouseEvent* event)
{
    QObject* target = this->target();
    if (isEnabled() && event->button() == Qt::LeftButton && CurrentEvent::clickCount() == 2 &&
        !m_doubleAction.isEmpty() && target && Invocation::respondsToSelector(target, m_doubleAction)) {
        event->accept();
        const InvocationPtr invocation = Invocation::invocationForSelector(m_doubleAction, target);
        if (m_doubleAction.contains(QLatin1Char(':')))
            invocation->setArgument(Invocation::kFirstArgument,
                                    QVariant::fromValue(static_cast<QObject*>(this)));
        invocation->invoke();
        return;
    }
    CellButton::mousePressEvent(event);
}

void TQDoubleActionButton::enterEvent(QEnterEvent* event)
{
    CellButton::enterEvent(event);
    if (isEnabled())
        m_hovered = true;
}

void TQDoubleActionButton::leaveEvent(QEvent* event)
{
    CellButton::leaveEvent(event);
    if (isEnabled())
        m_hovered = false;
}

void TQDoubleActionButton::changeEvent(QEvent* event)
{
    CellButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        updateCursor();
}

void TQDoubleActionButton::updateCursor()
{
    if (isEnabled())
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

} // namespace tavrel
