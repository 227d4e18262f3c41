#include "controls/BasicPopUpButton.h"

#include "platform/ui/FloatingWindows.h"
#include "platform/ui/UserInterfaceItem.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace tavrel {

BasicPopUpButton::BasicPopUpButton(QWidget* parent, bool pullsDown)
    : BasicPopUpButton(std::make_shared<BasicPopUpButtonCell>(QStringLiteral(""), pullsDown), parent)
{}

BasicPopUpButton::BasicPopUpButton(std::shared_ptr<BasicPopUpButtonCell> cell, QWidget* parent)
    : CellButton(cell ? std::move(cell) : std::make_shared<BasicPopUpButtonCell>(), parent)
{
    setFocusPolicy(Qt::TabFocus);
}

void BasicPopUpButton::setMenu(QMenu* menu)
{
    cell()->setMenu(menu);
    updateGeometry();
    update();
}

void BasicPopUpButton::selectItemAtIndex(int index)
{
    if (BasicPopUpButtonCell* popUp = popUpCell())
        popUp->selectItemAtIndex(index);
    update();
}

bool BasicPopUpButton::isMenuOpen() const
{
    return menu() && menu()->isVisible();
}

void BasicPopUpButton::popUpMenu()
{
    QMenu* menu = this->menu();
    BasicPopUpButtonCell* popUp = popUpCell();
    if (!isEnabled() || !menu || !popUp || menu->isVisible())
        return;
    if (m_connectedMenu != menu) {
        for (const QMetaObject::Connection& connection : m_menuConnections)
            disconnect(connection);
        m_menuConnections = {connect(menu, &QMenu::triggered, this, &BasicPopUpButton::itemChosen),
                             connect(menu, &QMenu::aboutToHide, this, &BasicPopUpButton::menuClosed)};
        m_connectedMenu = menu;
    }
    popUp->menuWillOpen(menu);
    popUp->setHighlighted(true);
    update();
    menu->setMinimumWidth(width());
    if (popUp->pullsDown())
        menu->popup(FloatingWindows::dropDownPosition(this, menu->sizeHint()));
    else
        menu->popup(mapToGlobal(QPoint(0, 0)), popUp->selectedItem());
}

void BasicPopUpButton::itemChosen(QAction* item)
{
    BasicPopUpButtonCell* popUp = popUpCell();
    if (!popUp)
        return;
    if (!popUp->pullsDown())
        popUp->selectItem(item);
    update();
    // An item with a command of its own sends it when triggered; the others send the button's action.
    if (UserInterfaceItem::command(item).isEmpty())
        popUp->sendAction(*this);
}

void BasicPopUpButton::menuClosed()
{
    if (BasicPopUpButtonCell* popUp = popUpCell())
        popUp->setHighlighted(false);
    update();
}

void BasicPopUpButton::mousePressEvent(QMouseEvent* event)
{
    if (!isEnabled() || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    popUpMenu();
}

void BasicPopUpButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

void BasicPopUpButton::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        popUpMenu();
        event->accept();
        return;
    default:
        CellButton::keyPressEvent(event);
    }
}

} // namespace tavrel
