#pragma once

#include "controls/TQWindowController.h"

#include <QPointer>
#include <QRect>

namespace tavrel {

class TQViewController;
class TQFloatingTitlebar;
class TQHostView;

// One content view controller in a window of its own, under a 36-point title bar with a toolbar of
// buttons. The window controller keeps itself while its window is open and goes when it closes,
// taking the hosted controller with it: openers show it and forget it.
class TQUtilityWindowController : public TQWindowController
{
    Q_OBJECT
public:
    static constexpr int kTitlebarHeight = 36;

    TQUtilityWindowController();
    ~TQUtilityWindowController() override;

    TQFloatingTitlebar* titleToolbar() const { return m_titleToolbar; }
    TQHostView* hostView() const { return m_hostView; }
    TQViewController* controller() const { return m_controller; }
    // Installs the controller's view in the host view (uninstalling the one before); the window
    // controller owns it.
    void setController(TQViewController* controller);

    // A sheet on this window opens 14 points lower than proposed, below the taller title bar.
    Q_INVOKABLE QRect windowWillPositionSheet(QWidget* window, const QRect& proposed) const;
    // Forwarded to the hosted controller.
    Q_INVOKABLE void share(QObject* sender);
    // Centred on the screen, then shown.
    void showWindow(QObject* sender) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TQFloatingTitlebar* m_titleToolbar = nullptr;
    TQHostView* m_hostView = nullptr;
    QPointer<TQViewController> m_controller;
};

} // namespace tavrel
