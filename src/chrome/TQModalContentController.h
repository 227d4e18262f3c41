#pragma once

#include "window/TQFloatingContentController.h"

class QEvent;

namespace tavrel {

class Notification;

// The base of the small arrowed popovers that vanish as soon as the user does something elsewhere:
// once its window is shown, a click, key press, drag or scroll in another window (or in none) closes
// it, and so does the application losing the focus. Moving the mouse, entering or leaving, releasing a
// key or pressing a modifier alone leave it open. Main thread only.
class TQModalContentController : public TQFloatingContentController
{
    Q_OBJECT
public:
    using TQFloatingContentController::TQFloatingContentController;
    ~TQModalContentController() override;

    // The view that opened the popover; not owned.
    QObject* owner() const { return m_owner; }
    void setOwner(QObject* owner) { m_owner = owner; }

    // The window keeps its arrow, is its controller's delegate and stays above other windows.
    void setWindow(TQFloatingWindow* window) override;
    // Sent by the floating window once it is attached and shown: the watching starts.
    Q_INVOKABLE void onWindowDidBecomeVisible(const tavrel::Notification& notification);
    // Whether an input event for that receiver closes the popover.
    bool closesOnEvent(QObject* receiver, const QEvent* event) const;
    void onWindowWillClose() override;
    bool isWatchingEvents() const { return m_watching; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void stopWatching();

    QPointer<QObject> m_owner;
    bool m_watching = false;
    QMetaObject::Connection m_deactivation;
};

} // namespace tavrel
