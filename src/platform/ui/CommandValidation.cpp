#include "platform/ui/CommandValidation.h"

#include "platform/ui/ResponderChain.h"
#include "platform/ui/UserInterfaceItem.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>

namespace tavrel {

namespace {
const char* const kAttachedProperty = "tavrelValidated";
}

CommandValidation::CommandValidation()
{
    m_updateTimer.setSingleShot(true);
    m_updateTimer.setInterval(0);
    connect(&m_updateTimer, &QTimer::timeout, this, &CommandValidation::updateWindows);
    if (qApp)
        qApp->installEventFilter(this);
}

CommandValidation& CommandValidation::instance()
{
    static CommandValidation* validation = new CommandValidation;
    return *validation;
}

bool CommandValidation::validateItem(QObject* item)
{
    const QString command = UserInterfaceItem::command(item);
    if (command.isEmpty())
        return UserInterfaceItem::isEnabled(item);
    const bool enabled = ResponderChain::validate(command, item, UserInterfaceItem::target(item),
                                                  UserInterfaceItem::origin(item));
    UserInterfaceItem::setEnabled(item, enabled);
    return enabled;
}

void CommandValidation::validateMenu(QMenu* menu, QWidget* origin)
{
    if (!menu)
        return;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            continue;
        UserInterfaceItem::setOrigin(action, origin);
        validateItem(action);
        if (QMenu* submenu = action->menu())
            attachToMenu(submenu, origin);
    }
}

void CommandValidation::attachToMenu(QMenu* menu, QWidget* origin)
{
    if (!menu)
        return;
    menu->setProperty("tavrelOrigin", QVariant::fromValue(QPointer<QObject>(origin)));
    if (menu->property(kAttachedProperty).toBool())
        return;
    menu->setProperty(kAttachedProperty, true);
    connect(menu, &QMenu::aboutToShow, menu, [menu] {
        validateMenu(
            menu, qobject_cast<QWidget*>(menu->property("tavrelOrigin").value<QPointer<QObject>>().data()));
    });
}

void CommandValidation::registerAction(QAction* action)
{
    CommandValidation& validation = instance();
    if (action && !validation.m_actions.contains(action))
        validation.m_actions.append(action);
}

void CommandValidation::scheduleWindowUpdate()
{
    if (!m_updateTimer.isActive())
        m_updateTimer.start();
}

void CommandValidation::updateWindows()
{
    m_updateTimer.stop();
    validateRegisteredActions(false);
    emit windowDidUpdate();
}

void CommandValidation::validateRegisteredActions(bool withShortcutsOnly)
{
    m_actions.removeIf([](const QPointer<QAction>& action) { return action.isNull(); });
    const QList<QPointer<QAction>> actions = m_actions;
    for (const QPointer<QAction>& action : actions)
        if (action && (!withShortcutsOnly || !action->shortcuts().isEmpty()))
            validateItem(action);
}

bool CommandValidation::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Shortcuts of disabled actions do not fire: make the states current before the key is
        // matched. The event climbs from the focus widget to its window; validate once.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->timestamp() != m_lastShortcutTimestamp || key->key() != m_lastShortcutKey ||
            key->timestamp() == 0) {
            m_lastShortcutTimestamp = key->timestamp();
            m_lastShortcutKey = key->key();
            validateRegisteredActions(true);
        }
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::FocusIn:
    case QEvent::WindowActivate:
        scheduleWindowUpdate();
        break;
    default:
        break;
    }
    return false;
}

} // namespace tavrel
