#pragma once

#include "chrome/ContentViewController.h"

#include <QPointer>

namespace tavrel {

class TQFloatingWindow;

// A view controller shown in a floating window. It keeps the window; when the window closes it hears
// of it (onWindowWillClose) and, when asked to, lets itself go.
class TQFloatingContentController : public ContentViewController
{
    Q_OBJECT
public:
    using ContentViewController::ContentViewController;
    ~TQFloatingContentController() override;

    TQFloatingWindow* window() const { return m_window; }
    virtual void setWindow(TQFloatingWindow* window);
    bool shouldReleaseOnWindowClose() const { return m_shouldReleaseOnWindowClose; }
    void setShouldReleaseOnWindowClose(bool release) { m_shouldReleaseOnWindowClose = release; }

    virtual void onWindowWillClose();
    Q_INVOKABLE void close(QObject* sender);

private:
    QPointer<TQFloatingWindow> m_window;
    bool m_shouldReleaseOnWindowClose = false;
};

} // namespace tavrel
