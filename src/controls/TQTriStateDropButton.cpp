#include "controls/TQTriStateDropButton.h"

#include "platform/runtime/Invocation.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/MessageNames.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>

namespace tavrel {

namespace {
// The drop delegate's "acceptor:canAcceptDraggingInfo:" (its methods share their first keyword, so the
// second joins the name).
const QString kCanAcceptSelector = Selectors::acceptorCanAcceptDraggingInfoDraggingInfo;
} // namespace

TQTriStateDropButton::TQTriStateDropButton(QWidget* parent) : TQTriStateDropButton(nullptr, parent) {}

TQTriStateDropButton::TQTriStateDropButton(std::shared_ptr<Cell> cell, QWidget* parent)
    : TQTriStateButton(std::move(cell), parent)
{
    m_activator.setSingleShot(true);
    connect(&m_activator, &QTimer::timeout, this, &TQTriStateDropButton::itemActivationConfirmed);
}

TQTriStateDropButton::~TQTriStateDropButton()
{
    m_activator.stop();
}

void TQTriStateDropButton::awakeFromNib()
{
    TQTriStateButton::awakeFromNib();
    if (m_droppable)
        setAcceptDrops(true);
}

bool TQTriStateDropButton::delegateAccepts(QDropEvent* event)
{
    QObject* delegate = m_delegate;
    if (!delegate || !Invocation::respondsToSelector(delegate, kCanAcceptSelector))
        return true;
    const InvocationPtr ask = Invocation::invocationForSelector(kCanAcceptSelector, delegate);
    ask->setArgument(Invocation::kFirstArgument, QVariant::fromValue(static_cast<QObject*>(this)));
    ask->setArgument(Invocation::kFirstArgument + 1, QVariant::fromValue(event));
    ask->invoke();
    return ask->returnValue().toBool();
}

Qt::DropAction TQTriStateDropButton::operationFor(const QDropEvent* event)
{
    // Copy for files from the desktop; otherwise the generic operation, a move of our own items (what
    // the source proposes when it allows no move).
    const Qt::DropActions possible = event->possibleActions();
    if (!DragBus::fileNames(event->mimeData()).isEmpty() && (possible & Qt::CopyAction))
        return Qt::CopyAction;
    return possible & Qt::MoveAction ? Qt::MoveAction : event->proposedAction();
}

void TQTriStateDropButton::dragEnterEvent(QDragEnterEvent* event)
{
    m_dragInside = true;
    m_lastDrag = {event->position(), event->possibleActions(), const_cast<QMimeData*>(event->mimeData()),
                  event->buttons(), event->modifiers()};
    if (!delegateAccepts(event)) {
        event->ignore();
        return;
    }
    m_hasDruggingProgress = true;
    update();
    event->setDropAction(operationFor(event));
    event->accept();
}

void TQTriStateDropButton::dragMoveEvent(QDragMoveEvent* event)
{
    m_lastDrag = {event->position(), event->possibleActions(), const_cast<QMimeData*>(event->mimeData()),
                  event->buttons(), event->modifiers()};
    if (!delegateAccepts(event)) {
        event->ignore();
        return;
    }
    update();
    if (!m_activator.isActive())
        m_activator.start(int(kActivationDelay.milliseconds()));
    event->setDropAction(operationFor(event));
    event->accept();
}

void TQTriStateDropButton::itemActivationConfirmed()
{
    m_activator.stop();
    QPointer<TQTriStateDropButton> self(this);
    performClick();
    if (!self)
        return;
    m_hasDruggingProgress = false;
    update();
    // A resting drag gets no more move events here, where the design's drag is asked again all the
    // time: while it stays and is still accepted, the next click is a second away.
    if (!m_dragInside || !m_lastDrag.data)
        return;
    QDragMoveEvent resting(m_lastDrag.position.toPoint(), m_lastDrag.actions, m_lastDrag.data,
                           m_lastDrag.buttons, m_lastDrag.modifiers);
    if (delegateAccepts(&resting))
        m_activator.start(int(kActivationDelay.milliseconds()));
}

void TQTriStateDropButton::cancelActivation()
{
    m_activator.stop();
    m_hasDruggingProgress = false;
    update();
}

void TQTriStateDropButton::dragLeaveEvent(QDragLeaveEvent* event)
{
    m_dragInside = false;
    cancelActivation();
    event->accept();
}

void TQTriStateDropButton::dropEvent(QDropEvent* event)
{
    // The button never receives items; the drag is over, so nothing more may click it.
    m_dragInside = false;
    cancelActivation();
    event->ignore();
}

void TQTriStateDropButton::paintEvent(QPaintEvent* event)
{
    TQTriStateButton::paintEvent(event);
    if (!m_hasDruggingProgress)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor::fromRgbF(0.70703125f, 0.83203125f, 1.0f), 2));
    painter.setBrush(Qt::NoBrush);
    // A two-point frame along the bounds inset by two points.
    painter.drawRect(QRectF(rect()).adjusted(3, 3, -3, -3));
}

} // namespace tavrel
