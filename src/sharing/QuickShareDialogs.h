#pragma once

#include <QList>
#include <QPoint>
#include <QVariant>
#include <functional>

class QWidget;

namespace tavrel {

class TQFloatingContentController;
class TQMainWindowController;

// How the lists open the sharing dialogs: through the main window's quick-share popover (at most one
// open, attached at a point of the main window), or, where no main window exists (a detail window,
// a test), in a floating window of their own centred over the list's window.
class QuickShareDialogs
{
public:
    // The main window's controller: of the widget's window, of the window a floating window is
    // attached to, or of any main window on screen; nullptr when there is none.
    static TQMainWindowController* mainController(QWidget* from);

    // Shows the controller's view as the quick-share dialog; the controller goes with its window.
    // The point is in the main window's coordinates (the null point centres it). Answers the window.
    static QWidget* showQuickShareDialog(QWidget* from, TQFloatingContentController* controller,
                                         const QVariantList& selection, const QPoint& point);

    // The point beside the window as it is, when a dialog of that size fits on the screen to the
    // window's right or (flipped) to its left; else the null point, which centres the dialog over the
    // window instead of putting it off the screen.
    static QPoint pointBesideWindow(QWidget* from, const QPoint& point, const QSize& dialogSize);

    // The sheet of a dialog closed with people entered: "OK" runs the close, "Cancel" keeps it.
    static void askBeforeClosing(QWidget* window, std::function<void()> close);

    // Shows a dialog in a floating window without an arrow, centred over the window of the widget,
    // free of it; the controller goes with its window. Answers the window.
    static QWidget* showCentred(QWidget* from, TQFloatingContentController* controller,
                                const QString& title = QString());
};

} // namespace tavrel
