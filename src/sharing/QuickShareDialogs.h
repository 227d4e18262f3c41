#pragma once

#include <QList>
#include <QPoint>
#include <QVariant>

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

    // Shows a dialog in a floating window without an arrow, centred over the window of the widget,
    // free of it; the controller goes with its window. Answers the window.
    static QWidget* showCentred(QWidget* from, TQFloatingContentController* controller,
                                const QString& title = QString());
};

} // namespace tavrel
