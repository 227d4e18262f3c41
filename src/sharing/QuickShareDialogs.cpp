#include "sharing/QuickShareDialogs.h"

#include "controls/TQFloatingWindow.h"
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
