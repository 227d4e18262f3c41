#pragma once

#include "chrome/TQModalContentController.h"
#include "controls/ControlPopovers.h"
#include "platform/runtime/Timing.h"

#include <QPointF>
#include <QString>
#include <functional>
#include <memory>

class QBoxLayout;
class QLabel;
class QObject;
class QPushButton;
class QWidget;

namespace tavrel {

class FileEntryAbstract;
class TQFloatingWindow;
class TQSwitchButton;

// What the two quick sharing popovers share: their window, how it is attached and watched, and the
// parts of their contents.
class QuickPopoverSupport
{
public:
    // A role change closes the popover this long after its request went out.
    static inline const Timing kCloseDelay{"quickPopoverCloseDelay", 250};

    // The popover's window: no title, the arrow on the top, white, medium size; the controller keeps
    // it (modal set-up) and its view is the window's content.
    static void makeWindow(TQModalContentController* controller);
    static bool isWindowVisible(const TQModalContentController* controller);
    static void closeWindow(TQModalContentController* controller);
    static void attachToWindow(TQModalContentController* controller, QWidget* parent, const QPointF& point);
    static void observeWindowWillClose(TQModalContentController* controller, std::function<void()> handler);
    // Closes the window after the close delay (performClose, which its delegate may refuse).
    static void closeLater(TQModalContentController* controller);
    // Gives the window the size of a content page.
    static void fitWindowToContent(TQModalContentController* controller, QWidget* page);

    // Parts of a content page.
    static QLabel* makeHeading(QWidget* page);
    static QLabel* makeCaption(QWidget* page, const QString& text);
    static QPushButton* makeRemoveButton(QWidget* page, const QString& titleKey);
    // A two- or three-position role switch with the name of its role beside it, added to the layout.
    static TQSwitchButton* addRoleSwitch(QWidget* page, QBoxLayout* layout, bool commenter);
    // The caption beside the switch names its role now.
    static void showRoleCaption(TQSwitchButton* role);
    // Moves the switch to the role at once, without an action.
    static void setRoleState(TQSwitchButton* role, int code);

    // Asks for the item's general access with the switch's role (its type, link and entry kept), the
    // answer going to the popover, which closes after the close delay.
    static void requestGeneralRole(TQModalContentController* popover,
                                   const std::shared_ptr<FileEntryAbstract>& item, TQSwitchButton* role);
};

// A quick popover as the cells see it (a port of ControlPopovers): its window, attached and watched
// through QuickPopoverSupport.
template <class Port> class QuickPopover : public TQModalContentController, public Port
{
public:
    using TQModalContentController::TQModalContentController;

    bool isWindowVisible() const override { return QuickPopoverSupport::isWindowVisible(this); }
    void closeWindow() override { QuickPopoverSupport::closeWindow(this); }
    void attachToWindow(QWidget* parent, const QPointF& point) override
    {
        QuickPopoverSupport::attachToWindow(this, parent, point);
    }
    void observeWindowWillClose(std::function<void()> handler) override
    {
        QuickPopoverSupport::observeWindowWillClose(this, std::move(handler));
    }
};

} // namespace tavrel
