#pragma once

#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QVariant>
#include <functional>

class QWidget;

namespace tavrel {

// Who opened a shared popover. A cell is a value copied for every row and every click, so a cell is
// known by the view it is drawn in and the frame it was last placed at; another owner (a list
// controller) by its object alone.
struct PopoverOwner
{
    QPointer<QObject> object;
    QRectF frame;

    bool isNull() const { return object.isNull(); }
    bool operator==(const PopoverOwner& other) const
    {
        return object == other.object && frame == other.frame;
    }
};

// One of the shared floating controllers that the button cells open, as the controls see it: the
// floating labels of the window layer and the quick permission popovers of the sharing views. They
// live in the layers above the controls, which register them with ControlPopovers.
class FloatingControllerPort
{
public:
    virtual ~FloatingControllerPort() = default;

    // Whether its floating window is on screen.
    virtual bool isWindowVisible() const = 0;
    virtual void closeWindow() = 0;
    // Attaches its floating window to a window, the arrow at a point in that window's coordinates,
    // and shows it.
    virtual void attachToWindow(QWidget* window, const QPointF& point) = 0;
    // Calls the handler once, when the floating window is about to close.
    virtual void observeWindowWillClose(std::function<void()> handler) = 0;

    // The object that opened the popover (not owned); setting it changes nothing else.
    PopoverOwner owner() const { return m_owner; }
    void setOwner(const PopoverOwner& owner) { m_owner = owner; }

private:
    PopoverOwner m_owner;
};

// A floating label (the label beside link buttons, the tooltip of switch buttons).
class FloatingLabelPort : public FloatingControllerPort
{
public:
    virtual void setLabel(const QString& label) = 0;
};

// The quick permission popover for one person on one item.
class QuickPermissionPort : public FloatingControllerPort
{
public:
    virtual void setDeletable(bool deletable) = 0;
    virtual void setItem(const QVariant& item) = 0;
    virtual void setEmail(const QVariant& mail) = 0;
};

// The quick popover for an item's general access and link.
class QuickLinkPort : public FloatingControllerPort
{
public:
    virtual void setItem(const QVariant& item) = 0;
};

// The registry of the shared controllers. Nothing is registered until the layers above start; a cell
// asking for a missing one shows nothing. Not owned; the registering layer unregisters (nullptr)
// before deleting one.
class ControlPopovers
{
public:
    static FloatingLabelPort* labelController();
    static void setLabelController(FloatingLabelPort* controller);
    static FloatingLabelPort* tooltipController();
    static void setTooltipController(FloatingLabelPort* controller);
    static QuickPermissionPort* permissionController();
    static void setPermissionController(QuickPermissionPort* controller);
    static QuickLinkPort* linkController();
    static void setLinkController(QuickLinkPort* controller);

    // Whether the quick permission or the quick link popover is on screen.
    static bool presentModalContentController();
};

} // namespace tavrel
