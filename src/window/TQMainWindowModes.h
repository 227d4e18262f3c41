#pragma once

#include "window/SidebarMode.h"

#include <QHash>
#include <QObject>
#include <QPointer>

namespace tavrel {

class IViewFactory;
class Notification;
class TQNavigationController;
class TQSessionManager;
class TQSidebarController;
class TQViewController;

// The main window's content per sidebar mode: makes each mode's controller on first use (through the
// window's view factory, else a stand-in), keeps it for the window's life, and installs it in the
// navigation stack when the sidebar switches (sliding from above for a mode higher up the sidebar).
class TQMainWindowModes : public QObject
{
    Q_OBJECT
public:
    TQMainWindowModes(TQSidebarController* sidebar, TQNavigationController* navigation, IViewFactory* views,
                      TQSessionManager* sessionManager, QObject* parent = nullptr);
    ~TQMainWindowModes() override;

    // The content controller of a mode, made on first use; nullptr for NoMode, or for the personal
    // profile while the user's own record does not exist.
    TQViewController* controllerForMode(SidebarMode mode);
    // Already made, without making it.
    TQViewController* existingControllerForMode(SidebarMode mode) const;

    // The window's rule for what a place shows: a view wrapping a list (all items, starred, collections,
    // trash) must wrap the list of its own place, never another place's; any other content is the place's
    // own. A place whose content breaks the rule shows the placeholder.
    static bool showsItsOwnList(SidebarMode mode, const TQViewController* content);

    void onSidebarModeChange(const Notification& notification);
    void onSidebarModeDidReactivate(const Notification& notification);

private:
    TQViewController* makeController(SidebarMode mode);
    TQViewController* makeStandIn(SidebarMode mode);

    TQSidebarController* m_sidebar;
    TQNavigationController* m_navigation;
    IViewFactory* m_views;
    QPointer<TQSessionManager> m_sessionManager;
    QHash<SidebarMode, QPointer<TQViewController>> m_controllers;
};

} // namespace tavrel
