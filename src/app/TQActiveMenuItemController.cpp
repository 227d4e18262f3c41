#include "app/TQActiveMenuItemController.h"

#include "app/TQMenuView.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/ResponderChain.h"

#include <QEvent>
#include <QHBoxLayout>

namespace tavrel {

TQActiveMenuItemController::TQActiveMenuItemController(QWidgetAction* controlledItem)
    : QObject(controlledItem), m_controlledItem(controlledItem)
{
    m_view = new TQMenuView();
    m_view->setDelegate(this);
    m_view->setMinimumHeight(kRowHeight);
    auto* layout = new QHBoxLayout(m_view);
    layout->setContentsMargins(8, 2, 12, 2);
    layout->setSpacing(6);
    m_itemAction = new QToolButton(m_view);
    m_itemAction->setAutoRaise(true);
    m_itemAction->setIconSize(QSize(kIconEdge, kIconEdge));
    m_itemAction->setFixedSize(kIconEdge + 4, kIconEdge + 4);
    m_itemAction->setFocusPolicy(Qt::NoFocus);
    m_itemAction->installEventFilter(this);
    connect(m_itemAction, &QToolButton::clicked, this, &TQActiveMenuItemController::actionPressed);
    m_titleHolder = new QLabel(m_view);
    m_titleHolder->setTextFormat(Qt::PlainText);
    layout->addWidget(m_itemAction);
    layout->addWidget(m_titleHolder, 1);
    if (controlledItem)
        controlledItem->setDefaultWidget(m_view);
    refreshView();
}

TQActiveMenuItemController::~TQActiveMenuItemController() = default;

QString TQActiveMenuItemController::title() const
{
    return m_titleExtension.isEmpty() ? m_title : m_title + m_titleExtension;
}

void TQActiveMenuItemController::setTitle(const QString& title)
{
    m_title = title;
    refreshView();
    emit titleChanged(this->title());
}

void TQActiveMenuItemController::setTitleExtension(const QString& extension)
{
    if (m_titleExtension == extension)
        return;
    m_titleExtension = extension;
    refreshView();
    emit titleChanged(title());
}

void TQActiveMenuItemController::setActiveIcon(const QString& name)
{
    m_activeIcon = name;
    refreshView();
    emit activeIconChanged(name);
}

void TQActiveMenuItemController::setAction(const QString& action)
{
    m_action = action;
    refreshView();
}

void TQActiveMenuItemController::actionPressed()
{
    if (m_action.isEmpty())
        return;
    ResponderChain::send(m_action, this, m_target);
}

void TQActiveMenuItemController::refreshView()
{
    if (!m_view)
        return;
    m_titleHolder->setText(title());
    m_itemAction->setVisible(!m_activeIcon.isEmpty() || hasAction());
    refreshIcon(m_itemAction->underMouse(), m_itemAction->isDown());
}

void TQActiveMenuItemController::refreshIcon(bool hovered, bool pressed)
{
    if (!m_itemAction)
        return;
    // Under the pointer a row that can be cancelled shows the remove mark.
    QString name = m_activeIcon;
    if (hasAction() && (hovered || pressed))
        name = pressed ? QStringLiteral("remove_active") : QStringLiteral("remove_hover");
    m_itemAction->setIcon(name.isEmpty() ? QIcon() : ImageRegistry::icon(name));
}

bool TQActiveMenuItemController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_itemAction) {
        switch (event->type()) {
        case QEvent::Enter:
            refreshIcon(true, false);
            break;
        case QEvent::Leave:
            refreshIcon(false, false);
            break;
        case QEvent::MouseButtonPress:
            refreshIcon(true, true);
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tavrel
