#include "chrome/TQFloatingContentController.h"

#include "controls/TQFloatingWindow.h"

namespace tavrel {

TQFloatingContentController::~TQFloatingContentController()
{
    if (m_window)
        disconnect(m_window, nullptr, this, nullptr);
}

void TQFloatingContentController::setWindow(TQFloatingWindow* window)
{
    if (m_window)
        disconnect(m_window, nullptr, this, nullptr);
    m_window = window;
    if (window)
        connect(window, &TQFloatingWindow::windowWillClose, this, [this] { onWindowWillClose(); });
}

void TQFloatingContentController::onWindowWillClose()
{
    if (m_shouldReleaseOnWindowClose)
        deleteLater();
}

void TQFloatingContentController::close(QObject*)
{
    if (m_window)
        m_window->close();
}

} // namespace tavrel
