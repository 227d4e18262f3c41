#pragma once

#include <QPointer>
#include <QWidget>

namespace tavrel {

// A view a control holds as one of its parts (a window's content, a title bar view, a drawer's
// content, a scroll view's document). Taking a new one deletes the old one once the current event is
// over, so that a view may be replaced from its own handlers.
class OwnedView
{
public:
    // Holds the view as a child of the parent (hidden until the caller shows it) instead of the one
    // held before; answers false when it is the same view.
    static bool replace(QPointer<QWidget>& held, QWidget* view, QWidget* parent)
    {
        if (view == held)
            return false;
        if (QWidget* old = held.data()) {
            old->hide();
            old->deleteLater();
        }
        held = view;
        if (view)
            view->setParent(parent);
        return true;
    }
};

} // namespace tavrel
