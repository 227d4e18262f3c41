#include "platform/ui/FloatingWindows.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVariant>
#include <QWidget>

namespace tavrel {

namespace {
FloatingWindows::Placement g_placement = FloatingWindows::Placement::Default;
const char* const kKindProperty = "tavrelFloatingKind";
} // namespace

bool FloatingWindows::placesRelativeToParent()
{
    switch (g_placement) {
    case Placement::Free:
        return false;
    case Placement::RelativeToParent:
        return true;
    case Placement::Default:
        break;
    }
    return QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

void FloatingWindows::setPlacementForTesting(Placement placement)
{
    g_placement = placement;
}

Qt::WindowFlags FloatingWindows::windowFlags(Kind kind)
{
    Qt::WindowFlags flags = Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint;
    if (placesRelativeToParent())
        return flags | Qt::Popup;
    switch (kind) {
    case Kind::Panel:
        return flags | Qt::Tool;
    case Kind::Popover:
        return flags | Qt::Popup;
    case Kind::Label:
        return flags | Qt::ToolTip | Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput;
    }
    return flags | Qt::Tool;
}

void FloatingWindows::prepare(QWidget* window, Kind kind, QWidget* parent)
{
    window->setParent(parent ? parent->window() : nullptr, windowFlags(kind));
    window->setAttribute(Qt::WA_TranslucentBackground);
    window->setAttribute(Qt::WA_ShowWithoutActivating, kind == Kind::Label);
    window->setProperty(kKindProperty, int(kind));
}

void FloatingWindows::show(QWidget* window, const QPoint& globalTopLeft)
{
    // A popup on Wayland is positioned relative to its parent; Qt turns the global position into
    // that offset as long as the parent is set.
    window->move(globalTopLeft);
    window->show();
    if (Kind(window->property(kKindProperty).toInt()) == Kind::Panel) {
        window->raise();
        window->activateWindow();
    }
}

QRect FloatingWindows::availableGeometry(const QWidget* parent)
{
    QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace tavrel
