#pragma once

#include "app/LaunchCommand.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QMenu;
class QObject;
class QWidget;

namespace tavrel {

class TQShowMoreDetailAction;

// What the application shell needs of the main window and its controller, so that the shell does not
// depend on how the window is built. The application delegate makes one through its factory when a
// session starts (the first access to mainController), and deletes it when the session ends.
class IMainWindowController
{
public:
    virtual ~IMainWindowController() = default;

    // The controller as an object: the target of the upload callback
    // ("uploadDidFinishWithResult:error:", a Q_INVOKABLE method taking result and error), the services
    // provider and the drop delegate.
    virtual QObject* controllerObject() = 0;
    // The main window; nullptr before it is built.
    virtual QWidget* window() const = 0;

    // Brings the main window forward, or hides it when it is visible and active.
    virtual void toggleWindowVisibility(QObject* sender) = 0;
    virtual void showWindow(QObject* sender) = 0;

    // The services of the file managers: upload, upload-and-share and get-link, with local paths.
    virtual void performService(LaunchCommand::Verb verb, const QStringList& files) = 0;

    // The application's menu (about, preferences, sign in or out, quit) for the window's menu bar.
    virtual void hostApplicationMenu(QMenu* menu) = 0;
    // The status menu, where the desktop offers no tray to show it from.
    virtual void hostStatusMenu(QMenu* menu) = 0;

    // The in-window banner: a named action its link may run, then the message with the link.
    virtual void registerBannerAction(const std::shared_ptr<TQShowMoreDetailAction>& action) = 0;
    virtual void showBanner(const QString& message, const QString& actionName,
                            const QString& actionTitle) = 0;
};

using MainWindowFactory = std::function<std::unique_ptr<IMainWindowController>()>;

} // namespace tavrel
