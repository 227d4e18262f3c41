#pragma once

#include "window/IViewFactory.h"

#include <QString>

namespace tavrel {

// The main window's views as the program registers them with ViewClasses under the design names that
// TQMainWindowController declares (see the `*Classes` files): each make looks its class up when
// called, so a class registered after the window was made is found too, and an unregistered one
// makes nothing.
class ViewClassesFactory : public IViewFactory
{
public:
    TQViewController* makeModeController(SidebarMode mode, const ManagedObjectPtr& me) override;
    TQViewController* makeInitializeController() override;
    bool isFileView(const QObject* controller) const override;
    IStatusBar* statusBar() override;
    QObject* bannerDelegate() override;
    bool isNewGroupAvailable() const override;
    INewGroupSheet* makeNewGroupSheet() override;
    bool showNewContactEditor(QWidget* window) override;
    bool hasTour() const override;
    bool showTour(QWidget* window) override;
    TQFloatingContentController* makeShareWith(const QStringList& fileNames) override;

private:
    // The all-items filtering view around another list (the starred documents, the collections).
    static TQViewController* makeFilteringController(const QString& titleKey, const QString& innerClass);
};

} // namespace tavrel
