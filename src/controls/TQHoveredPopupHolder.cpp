#include "controls/TQHoveredPopupHolder.h"

#include "controls/BasicPopUpButton.h"
#include "platform/ui/ImageRegistry.h"

#include <QMenu>

namespace tavrel {

TQHoveredPopupHolder::TQHoveredPopupHolder(QWidget* parent)
    : CellButton(std::make_shared<TQHoveredBackgroundButtonCell>(), parent)
{
    awakeFromNib();
}

TQHoveredPopupHolder::~TQHoveredPopupHolder()
{
    for (const QMetaObject::Connection& connection : m_menuConnections)
        disconnect(connection);
}

void TQHoveredPopupHolder::awakeFromNib()
{
    TQHoveredBackgroundButtonCell* cell = hoverCell();
    cell->setRegularBackground(ImageRegistry::pixmap(QStringLiteral("permission_bg_regular")));
    cell->setHoverBackground(ImageRegistry::pixmap(QStringLiteral("permission_bg_hover")));
    QPointer<TQHoveredPopupHolder> self(this);
    cell->setAction([self](Cell&) {
        if (self)
            self->onClicked(self);
    });
}

void TQHoveredPopupHolder::setPopup(BasicPopUpButton* popup)
{
    if (popup == m_popup)
        return;
    for (const QMetaObject::Connection& connection : m_menuConnections)
        disconnect(connection);
    m_menuConnections.clear();
    m_popup = popup;
    if (QMenu* menu = popup ? popup->menu() : nullptr)
        m_menuConnections = {
            connect(menu, &QMenu::aboutToShow, this, &TQHoveredPopupHolder::onMenuAppeared),
            connect(menu, &QMenu::aboutToHide, this, &TQHoveredPopupHolder::onMenuDisappeared)};
}

void TQHoveredPopupHolder::onMenuAppeared()
{
    cell()->setHighlighted(true);
    update();
}

void TQHoveredPopupHolder::onMenuDisappeared()
{
    cell()->setHighlighted(false);
    update();
}

void TQHoveredPopupHolder::onClicked(QObject*)
{
    if (m_popup)
        m_popup->popUpMenu();
}

} // namespace tavrel
