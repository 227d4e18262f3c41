#pragma once

#include "controls/TQHoveredBackgroundButtonCell.h"
#include "platform/ui/CellButton.h"

#include <QPointer>

namespace tavrel {

class BasicPopUpButton;

// A button on the "permission_bg" backgrounds that stands for a pop-up button placed with it: a click
// opens the pop-up's menu, and the holder stays highlighted while that menu is open.
class TQHoveredPopupHolder : public CellButton
{
    Q_OBJECT
public:
    explicit TQHoveredPopupHolder(QWidget* parent = nullptr);
    ~TQHoveredPopupHolder() override;

    // Sets the backgrounds and makes the holder's click open the pop-up (the constructor does).
    void awakeFromNib();

    BasicPopUpButton* popup() const { return m_popup; }
    // Follows the menu the pop-up has now.
    void setPopup(BasicPopUpButton* popup);
    TQHoveredBackgroundButtonCell* hoverCell() const { return cellAs<TQHoveredBackgroundButtonCell>(); }

    void onMenuAppeared();
    void onMenuDisappeared();
    // The holder's action ("clicked:"; named apart from the button's clicked signal).
    void onClicked(QObject* sender);

private:
    QPointer<BasicPopUpButton> m_popup;
    QList<QMetaObject::Connection> m_menuConnections;
};

} // namespace tavrel
