#include "controls/TQWindowController.h"

#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"

namespace tavrel {

TQWindowController::TQWindowController(QObject* parent) : QObject(parent) {}

TQWindowController::~TQWindowController()
{
    delete m_window.data();
}

void TQWindowController::setWindow(QWidget* window)
{
    if (window == m_window)
        return;
    if (QWidget* old = m_window.data()) {
        ResponderChain::removeResponder(old, this);
        delete old;
    }
    m_window = window;
    if (window) {
        ResponderChain::insertResponder(window, this);
        // A window deleted by its holder is not ours to delete again (QPointer clears only after the
        // window's children are gone, and a controller may be one of them).
        connect(window, &QObject::destroyed, this, [this, window] {
            if (m_window == window)
                m_window = nullptr;
        });
    }
}

void TQWindowController::awakeFromNib()
{
    StringTable::localizeView(m_window);
}

void TQWindowController::showWindow(QObject*)
{
    if (!m_window)
        return;
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void TQWindowController::close()
{
    if (m_window)
        m_window->close();
}

} // namespace tavrel
