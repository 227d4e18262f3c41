#pragma once

#include <QPoint>
#include <QRect>
#include <Qt>

class QWidget;

namespace tavrel {

// Floating windows and popovers: frameless top-level windows with a transparent background that
// draw their own outline, attached to a parent window. Where the windowing system lets a program
// place its windows (X11) they are Qt::Tool windows (panels that can take the keyboard), popovers
// that close on a click elsewhere are Qt::Popup, labels never take the keyboard. Wayland places no
// top-level window where a program asks, so there every kind becomes a Qt::Popup placed relative to
// its parent.
class FloatingWindows
{
public:
    enum class Kind {
        Panel,   // a floating dialog that can become key (share dialog, settings)
        Popover, // closes on a click outside it (quick permission popovers)
        Label,   // never takes the keyboard or the mouse (floating labels and tooltips)
    };

    // Whether windows are placed relative to their parent as popups (Wayland).
    static bool placesRelativeToParent();
    // Tests force one behaviour or the other; Default follows the platform.
    enum class Placement { Default, Free, RelativeToParent };
    static void setPlacementForTesting(Placement placement);

    // The window flags of a kind on this platform.
    static Qt::WindowFlags windowFlags(Kind kind);
    // Makes the widget a floating window of the kind, attached to the parent's window.
    static void prepare(QWidget* window, Kind kind, QWidget* parent);
    // Places the window's top-left corner on a point of the screen and shows it; a panel is also
    // raised and activated.
    static void show(QWidget* window, const QPoint& globalTopLeft);
    // The part of the screen under the parent (or the primary screen) that windows may use.
    static QRect availableGeometry(const QWidget* parent);
};

} // namespace tavrel
