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

QPoint FloatingWindows::dropDownPosition(const QWidget* control, const QSize& menuSize, int gap)
{
    const QRect anchor(control->mapToGlobal(QPoint(0, 0)), control->size());
    const QWidget* window = control->window();
    const QRect owner(window->mapToGlobal(QPoint(0, 0)), window->size());
    QPoint position(anchor.left(), anchor.bottom() + 1 + gap);
    if (position.x() + menuSize.width() > owner.right() + 1)
        position.setX(anchor.right() + 1 - menuSize.width());
    const QRect screen = availableGeometry(control);
    if (screen.isEmpty())
        return position;
    position.setX(qMax(screen.left(), qMin(position.x(), screen.right() + 1 - menuSize.width())));
    if (position.y() + menuSize.height() > screen.bottom() + 1) {
        const int above = anchor.top() - gap - menuSize.height();
        position.setY(above >= screen.top() ? above : screen.bottom() + 1 - menuSize.height());
    }
    position.setY(qMax(screen.top(), position.y()));
    return position;
}

QRect FloatingWindows::fittedFrame(const QRect& frame, const QRect& available)
{
    if (available.isEmpty())
        return frame;
    QRect fitted(frame.topLeft(), frame.size().boundedTo(available.size()));
    // Less than half of it on the area: it belongs to a screen that is no longer there.
    const QRect visible = fitted.intersected(available);
    if (qint64(visible.width()) * visible.height() * 2 < qint64(fitted.width()) * fitted.height()) {
        fitted.moveCenter(available.center());
        return fitted;
    }
    fitted.moveLeft(qBound(available.left(), fitted.left(), available.right() + 1 - fitted.width()));
    fitted.moveTop(qBound(available.top(), fitted.top(), available.bottom() + 1 - fitted.height()));
    return fitted;
}

void FloatingWindows::centreOver(QWidget* window, const QWidget* parent)
{
    const QWidget* over = parent ? parent->window() : nullptr;
    if (over && !over->isVisible())
        over = nullptr;
    const QRect available = availableGeometry(over ? over : window);
    QRect frame(QPoint(0, 0), window->frameGeometry().size());
    frame.moveCenter(over ? over->frameGeometry().center() : available.center());
    window->move(fittedFrame(frame, available).topLeft());
}

} // namespace tavrel
