#pragma once

#include "lists/QuickShareDecision.h"

#include <QPoint>
#include <functional>

class QRect;
class QWidget;

namespace tavrel {

class TQMainWindowController;
class TQViewController;

// Opens what the quick-share decision chose for a list: the read-only view (A), the full share list
// (D) or the list's own share-with dialog (C) as the main window's quick-share popover, or first the
// sheet that asks whether to go on with the documents the user may share (B). The sharing views are
// made by name; while one of them does not exist, the lists hide their share commands.
class QuickSharePresenter
{
public:
    static inline const QString kReadonlyClass = QStringLiteral("TQShareReadonlyController");
    static inline const QString kShareClass = QStringLiteral("TQShareController");
    static inline const QString kShareWithClass = QStringLiteral("TQShareWithController");

    // Whether the three sharing views can be made.
    static bool sharingViewsExist();
    // The main window's controller (the popover's owner), none without a main window.
    static TQMainWindowController* mainController();
    // 2 points beyond the main window's right edge, level with the middle of the row (a rectangle in
    // the list's viewport); the zero point without a row or a main window.
    static QPoint anchorForRow(QWidget* viewport, const QRect& row);

    // How the list opens its share-with dialog, and unselects a document dropped after the sheet.
    using ShareWith = std::function<void(const QList<ManagedObjectPtr>& selection, const QPoint& point)>;
    using Deselect = std::function<void(const ManagedObjectPtr& record)>;
    // Decides for the selection and opens the chosen view at the point; logs the flags and the mode.
    static void share(TQViewController* list, const QList<ManagedObjectPtr>& selection, const QPoint& point,
                      const ShareWith& shareWith, const Deselect& deselect);
    // The share-with dialog for the selection (its last document), titled "WindowShareWith" when
    // asked; answers the popover.
    static QWidget* showShareWith(const QList<ManagedObjectPtr>& selection, const QPoint& point, bool titled);
    // The banner that says the user may share none of them.
    static void showDenied(TQViewController* list);
};

} // namespace tavrel
