#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
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

    // Where a menu dropping from a control opens (global, for QMenu::popup): under the control, gap
    // points below it, left edges aligned; right edges aligned when it would otherwise pass the right
    // edge of the control's window; above the control when there is no room below; always on the
    // control's screen.
    static QPoint dropDownPosition(const QWidget* control, const QSize& menuSize, int gap = 0);
    // A window's frame made to fit the available area: no larger than it, moved inside it, and centred
    // in it when it lies mostly outside (a screen that shrank or went).
    static QRect fittedFrame(const QRect& frame, const QRect& available);
    // Centres a window over its parent's window (or the screen without one), on the screen.
    static void centreOver(QWidget* window, const QWidget* parent);
};

} // namespace tavrel
