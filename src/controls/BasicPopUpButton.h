#pragma once

#include "controls/BasicPopUpButtonCell.h"
#include "platform/ui/CellButton.h"

#include <QPointer>

class QMenu;

namespace tavrel {

// The platform's pop-up button: a button hosting a pop-up cell whose press opens the cell's menu (a
// pop-up over the button with the selected item under the mouse, a pull-down under it), highlighted
// while the menu is open. Choosing an item selects it (a pop-up) and sends the item's command, or the
// cell's action when the item has none.
class BasicPopUpButton : public CellButton
{
    Q_OBJECT
public:
    explicit BasicPopUpButton(QWidget* parent = nullptr, bool pullsDown = false);
    explicit BasicPopUpButton(std::shared_ptr<BasicPopUpButtonCell> cell, QWidget* parent = nullptr);

    BasicPopUpButtonCell* popUpCell() const { return cellAs<BasicPopUpButtonCell>(); }
    QMenu* menu() const { return cell()->menu(); }
    void setMenu(QMenu* menu);
    void selectItemAtIndex(int index);
    int indexOfSelectedItem() const { return popUpCell() ? popUpCell()->indexOfSelectedItem() : -1; }

    // Opens the menu, as a click does (nothing while disabled or without a menu).
    void popUpMenu();
    bool isMenuOpen() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void itemChosen(QAction* item);
    void menuClosed();

    QPointer<QMenu> m_connectedMenu;
    QList<QMetaObject::Connection> m_menuConnections;
};

} // namespace tavrel
