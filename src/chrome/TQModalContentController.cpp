#include "chrome/TQModalContentController.h"

#include "controls/TQFloatingWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace tavrel {

TQModalContentController::~TQModalContentController()
{
    stopWatching();
    disconnect(m_deactivation);
}

void TQModalContentController::setWindow(TQFloatingWindow* window)
{
    TQFloatingContentController::setWindow(window);
    if (!window)
        return;
    window->setKeepArrowPersistent(true);
    window->setDelegate(this);
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void TQModalContentController::onWindowDidBecomeVisible(const Notification&)
{
    if (!m_watching) {
        qApp->installEventFilter(this);
        m_watching = true;
    }
    disconnect(m_deactivation);
    m_deactivation =
        connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state != Qt::ApplicationActive && window())
                window()->close();
        });
}

void TQModalContentController::onWindowWillClose()
{
    stopWatching();
    TQFloatingContentController::onWindowWillClose();
}

void TQModalContentController::stopWatching()
{
    if (m_watching && qApp)
        qApp->removeEventFilter(this);
    m_watching = false;
}

bool TQModalContentController::closesOnEvent(QObject* receiver, const QEvent* event) const
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::TouchBegin:
    case QEvent::NativeGesture:
        break;
    case QEvent::MouseMove:
        // A drag closes it; a move without buttons does not.
        if (static_cast<const QMouseEvent*>(event)->buttons() == Qt::NoButton)
            return false;
        break;
    case QEvent::KeyPress: {
        // A modifier alone is a change of flags, not a key.
        const int key = static_cast<const QKeyEvent*>(event)->key();
        if (key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
            key == Qt::Key_AltGr || key == Qt::Key_CapsLock)
            return false;
        break;
    }
    default:
        return false;
    }
    // Events of the popover's own window are its own business.
    auto* widget = qobject_cast<QWidget*>(receiver);
    return !(widget && window() && widget->window() == window());
}

bool TQModalContentController::eventFilter(QObject* watched, QEvent* event)
{
    if (m_watching && event->spontaneous() && watched->isWidgetType() && closesOnEvent(watched, event) &&
        window() && window()->isVisible())
        window()->close();
    return TQFloatingContentController::eventFilter(watched, event);
}

} // namespace tavrel
