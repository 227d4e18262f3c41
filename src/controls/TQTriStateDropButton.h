#pragma once

#include "controls/TQTriStateButton.h"
#include "platform/runtime/Timing.h"

#include <QMimeData>
#include <QPointer>
#include <QTimer>

class QDropEvent;
class QMimeData;

namespace tavrel {

// A tri-state button that is also a spring-loaded drop target: a drag of files or of our own items
// that its delegate accepts, resting on the button, clicks it after a second, and again every second
// while it stays. A drop on it is always refused: it only activates.
//
// The delegate is asked "acceptor:canAcceptDraggingInfo:" of the drop delegate protocol, that is
//     Q_INVOKABLE bool acceptorCanAcceptDraggingInfo(QObject* acceptor, QDropEvent* draggingInfo);
// and a delegate without it accepts every drag.
class TQTriStateDropButton : public TQTriStateButton
{
    Q_OBJECT
public:
    // How long a drag rests on the button before it clicks it.
    static inline const Timing kActivationDelay{"dropButtonActivation", 1000};

    explicit TQTriStateDropButton(QWidget* parent = nullptr);
    explicit TQTriStateDropButton(std::shared_ptr<Cell> cell, QWidget* parent = nullptr);
    ~TQTriStateDropButton() override;

    QObject* delegate() const { return m_delegate; }
    Q_INVOKABLE void setDelegate(QObject* delegate) { m_delegate = delegate; }
    // Set before awakeFromNib: only a droppable button takes drags.
    bool droppable() const { return m_droppable; }
    void setDroppable(bool droppable) { m_droppable = droppable; }
    // While an accepted drag is over the button (it draws the drop frame).
    bool hasDruggingProgress() const { return m_hasDruggingProgress; }
    bool isActivationPending() const { return m_activator.isActive(); }

    void awakeFromNib() override;
    // The activation timer fired: the button is clicked.
    void itemActivationConfirmed();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool delegateAccepts(QDropEvent* event);
    static Qt::DropAction operationFor(const QDropEvent* event);
    void cancelActivation();

    QPointer<QObject> m_delegate;
    bool m_droppable = false;
    bool m_hasDruggingProgress = false;
    bool m_dragInside = false;
    QTimer m_activator;
    // The drag over the button, to ask the delegate again while it rests.
    struct LastDrag
    {
        QPointF position;
        Qt::DropActions actions;
        QPointer<QMimeData> data;
        Qt::MouseButtons buttons;
        Qt::KeyboardModifiers modifiers;
    } m_lastDrag;
};

} // namespace tavrel
