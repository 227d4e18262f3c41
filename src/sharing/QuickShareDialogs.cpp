#include "sharing/QuickShareDialogs.h"

#include "controls/TQFloatingWindow.h"
#include "platform/ui/Alert.h"
#include "platform/ui/FloatingWindows.h"
#include "platform/ui/StringTable.h"
#include "window/TQFloatingContentController.h"
#include "window/TQMainWindow.h"
#include "window/TQMainWindowController.h"

#include <QApplication>

namespace tavrel {

TQMainWindowController* QuickShareDialogs::mainController(QWidget* from)
{
    for (QWidget* widget = from ? from->window() : nullptr; widget;
         widget = widget->parentWidget() ? widget->parentWidget()->window() : nullptr) {
        if (auto* main = qobject_cast<TQMainWindow*>(widget))
            return main->delegate();
    }
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* main = qobject_cast<TQMainWindow*>(widget); main && main->isVisible() && main->delegate())
            return main->delegate();
    return nullptr;
}

QWidget* QuickShareDialogs::showQuickShareDialog(QWidget* from, TQFloatingContentController* controller,
                                                 const QVariantList& selection, const QPoint& point)
{
    if (!controller)
        return nullptr;
    if (TQMainWindowController* main = mainController(from))
        return main->showQuickShareDialogForContent(controller->view(), controller, selection, point);
    return showCentred(from, controller);
}

QPoint QuickShareDialogs::pointBesideWindow(QWidget* from, const QPoint& point, const QSize& dialogSize)
{
    QWidget* window = from ? from->window() : nullptr;
    if (point.isNull() || !window)
        return point;
    const QRect screen = FloatingWindows::availableGeometry(window);
    const QRect frame = window->frameGeometry();
    // The panel, its arrow and its shadow.
    const int needed = dialogSize.width() + 2 * TQFloatingWindow::kShadowMargin + 20;
    const bool fitsRight = frame.right() + 2 + needed <= screen.right();
    const bool fitsLeft = frame.left() - 2 - needed >= screen.left();
    return fitsRight || fitsLeft ? point : QPoint();
}

void QuickShareDialogs::askBeforeClosing(QWidget* window, std::function<void()> close)
{
    auto* alert = new Alert;
    alert->setMessageText(StringTable::text(QStringLiteral("UnsavedAlertTitle")));
    alert->setDefaultButtonTitle(StringTable::text(QStringLiteral("OK")));
    alert->setAlternateButtonTitle(StringTable::text(QStringLiteral("Cancel")));
    alert->setInformativeText(StringTable::text(QStringLiteral("UnsavedAlertMessage")));
    alert->beginSheet(window, [close = std::move(close)](int response, bool) {
        if (response == Alert::DefaultResponse)
            close();
    });
}

QWidget* QuickShareDialogs::showCentred(QWidget* from, TQFloatingContentController* controller,
                                        const QString& title)
{
    if (!controller)
        return nullptr;
    QWidget* content = controller->view();
    auto* window = new TQFloatingWindow(QRect(QPoint(), content->size()), title, 0);
    window->setContentView(content);
    controller->setWindow(window);
    controller->setShouldReleaseOnWindowClose(true);
    QPoint at;
    if (QWidget* over = from ? from->window() : nullptr) {
        const QRect frame = over->frameGeometry();
        at = QPoint(frame.x() + frame.width() / 2 - window->frame().width() / 2,
                    frame.y() + frame.height() / 2 - window->frame().height() / 2);
    }
    window->attachToWindow(nullptr, at);
    return window;
}

} // namespace tavrel
