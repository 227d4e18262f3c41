#pragma once

#include "controls/TQFloatingWindow.h"
#include "window/TQViewController.h"

#include <QPointer>

namespace tavrel {

// The base of the controllers whose view lives in an arrowed floating window. With
// shouldReleaseOnWindowClose the controller lives exactly as long as its window stays open, so whoever
// opened the dialog can hand its lifetime to the window.
class TQFloatingContentController : public TQViewController
{
    Q_OBJECT
public:
    explicit TQFloatingContentController(const QString& nibName = QString(), QObject* parent = nullptr);
    ~TQFloatingContentController() override;

    TQFloatingWindow* window() const { return m_window; }
    // Watches the new window's closing; the old one is no longer watched.
    virtual void setWindow(TQFloatingWindow* window);
    bool shouldReleaseOnWindowClose() const { return m_shouldReleaseOnWindowClose; }
    void setShouldReleaseOnWindowClose(bool release) { m_shouldReleaseOnWindowClose = release; }

    // Takes the window off its parent and closes it.
    Q_INVOKABLE void close(QObject* sender);
    // The window is closing; a controller that should go with it lets itself and the window go.
    virtual void onWindowWillClose();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<TQFloatingWindow> m_window;
    bool m_shouldReleaseOnWindowClose = false;
    bool m_released = false;
};

} // namespace tavrel
