#pragma once

#include "platform/store/ManagedObject.h"
#include "window/SidebarMode.h"

#include <QStringList>

class QObject;
class QWidget;

namespace tavrel {

class INewGroupSheet;
class IStatusBar;
class TQFloatingContentController;
class TQViewController;

// Makes what the main window shows that lies above its own layer: the content of each sidebar mode,
// the first-synchronisation screen, the status bar, the banner's actions and the sheets. The program
// hands one to the window; ViewClassesFactory makes the classes the `*Classes` files register.
// A make that answers nullptr means the program has no such view: the window shows its stand-in, or
// leaves the command that would open it hidden or disabled.
class IViewFactory
{
public:
    virtual ~IViewFactory() = default;

    // A new content controller of a mode, owned by the caller; `me` is the signed-in user's own
    // address record, which the personal profile shows.
    virtual TQViewController* makeModeController(SidebarMode mode, const ManagedObjectPtr& me) = 0;
    // A new first-synchronisation screen, owned by the caller.
    virtual TQViewController* makeInitializeController() = 0;
    // Whether a controller is a document's details view (uploads there go to that document's list).
    virtual bool isFileView(const QObject* controller) const = 0;

    // Process-wide objects the factory keeps: the status bar and the banner's action registry.
    virtual IStatusBar* statusBar() = 0;
    virtual QObject* bannerDelegate() = 0;

    // Sheets and dialogs, each freeing itself when it ends.
    virtual bool isNewGroupAvailable() const = 0;
    virtual INewGroupSheet* makeNewGroupSheet() = 0;
    // Opens the editor of a new contact on the window; false when the program has none.
    virtual bool showNewContactEditor(QWidget* window) = 0;
    // The first-run tour over the window; false when the program has none.
    virtual bool hasTour() const = 0;
    virtual bool showTour(QWidget* window) = 0;
    // The quick-share content that uploads the files and then shares them.
    virtual TQFloatingContentController* makeShareWith(const QStringList& fileNames) = 0;
};

} // namespace tavrel
