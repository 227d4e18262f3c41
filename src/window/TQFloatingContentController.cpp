#include "window/TQFloatingContentController.h"

#include <QEvent>

namespace tavrel {

TQFloatingContentController::TQFloatingContentController(const QString& nibName, QObject* parent)
    : TQViewController(nibName, parent)
{}

TQFloatingContentController::~TQFloatingContentController()
{
    if (m_window)
        m_window->removeEventFilter(this);
}

void TQFloatingContentController::setWindow(TQFloatingWindow* window)
{
    if (window == m_window)
        return;
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = window;
    if (window)
        window->installEventFilter(this);
}

void TQFloatingContentController::close(QObject*)
{
    if (m_window)
        m_window->close();
}

bool TQFloatingContentController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::Close)
        onWindowWillClose();
    return false;
}

void TQFloatingContentController::onWindowWillClose()
{
    if (!m_shouldReleaseOnWindowClose || m_released)
        return;
    m_released = true;
    // The window goes with its controller, after the close has been handled.
    if (m_window)
        m_window->deleteLater();
    deleteLater();
}

} // namespace tavrel
