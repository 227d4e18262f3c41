#include "platform/ui/UserInterfaceItem.h"

#include "platform/ui/CellButton.h"
#include "platform/ui/ResponderChain.h"

#include <QAbstractButton>
#include <QAction>
#include <QPointer>
#include <QVariant>

namespace tavrel {

namespace {
const char* const kCommandProperty = "tavrelCommand";
const char* const kTagProperty = "tavrelTag";
const char* const kTargetProperty = "tavrelTarget";
const char* const kOriginProperty = "tavrelOrigin";
const char* const kRepresentedObjectProperty = "tavrelRepresentedObject";

QObject* pointerProperty(const QObject* item, const char* name)
{
    return item ? item->property(name).value<QPointer<QObject>>().data() : nullptr;
}
} // namespace

QAction* UserInterfaceItem::makeAction(const QString& title, const QString& command, QObject* parent, int tag,
                                       QObject* target)
{
    auto* action = new QAction(title, parent);
    setCommand(action, command);
    setTag(action, tag);
    setTarget(action, target);
    QObject::connect(action, &QAction::triggered, action, [action] { send(action); });
    return action;
}

QString UserInterfaceItem::command(const QObject* item)
{
    if (const auto* button = qobject_cast<const CellButton*>(item))
        return button->cell()->command();
    return item ? item->property(kCommandProperty).toString() : QString();
}

void UserInterfaceItem::setCommand(QObject* item, const QString& command)
{
    if (auto* button = qobject_cast<CellButton*>(item))
        button->cell()->setCommand(command);
    else if (item)
        item->setProperty(kCommandProperty, command);
}

int UserInterfaceItem::tag(const QObject* item)
{
    if (const auto* action = qobject_cast<const QAction*>(item))
        return action->data().toInt();
    if (const auto* button = qobject_cast<const CellButton*>(item))
        return button->cell()->tag();
    return item ? item->property(kTagProperty).toInt() : 0;
}

void UserInterfaceItem::setTag(QObject* item, int tag)
{
    if (auto* action = qobject_cast<QAction*>(item))
        action->setData(tag);
    else if (auto* button = qobject_cast<CellButton*>(item))
        button->cell()->setTag(tag);
    else if (item)
        item->setProperty(kTagProperty, tag);
}

QVariant UserInterfaceItem::representedObject(const QObject* item)
{
    if (const auto* button = qobject_cast<const CellButton*>(item))
        return button->cell()->representedObject();
    return item ? item->property(kRepresentedObjectProperty) : QVariant();
}

void UserInterfaceItem::setRepresentedObject(QObject* item, const QVariant& object)
{
    if (auto* button = qobject_cast<CellButton*>(item))
        button->cell()->setRepresentedObject(object);
    else if (item)
        item->setProperty(kRepresentedObjectProperty, object);
}

QObject* UserInterfaceItem::target(const QObject* item)
{
    if (const auto* button = qobject_cast<const CellButton*>(item))
        return button->cell()->target();
    return pointerProperty(item, kTargetProperty);
}

void UserInterfaceItem::setTarget(QObject* item, QObject* target)
{
    if (auto* button = qobject_cast<CellButton*>(item))
        button->cell()->setTarget(target);
    else if (item)
        item->setProperty(kTargetProperty, QVariant::fromValue(QPointer<QObject>(target)));
}

QWidget* UserInterfaceItem::origin(const QObject* item)
{
    return qobject_cast<QWidget*>(pointerProperty(item, kOriginProperty));
}

void UserInterfaceItem::setOrigin(QObject* item, QWidget* origin)
{
    if (item)
        item->setProperty(kOriginProperty, QVariant::fromValue(QPointer<QObject>(origin)));
}

QString UserInterfaceItem::title(const QObject* item)
{
    if (const auto* action = qobject_cast<const QAction*>(item))
        return action->text();
    if (const auto* button = qobject_cast<const CellButton*>(item))
        return button->title();
    if (const auto* button = qobject_cast<const QAbstractButton*>(item))
        return button->text();
    return {};
}

void UserInterfaceItem::setTitle(QObject* item, const QString& title)
{
    if (auto* action = qobject_cast<QAction*>(item))
        action->setText(title);
    else if (auto* button = qobject_cast<CellButton*>(item))
        button->setTitle(title);
    else if (auto* abstractButton = qobject_cast<QAbstractButton*>(item))
        abstractButton->setText(title);
}

int UserInterfaceItem::state(const QObject* item)
{
    if (const auto* action = qobject_cast<const QAction*>(item))
        return action->isChecked() ? 1 : 0;
    if (const auto* button = qobject_cast<const CellButton*>(item))
        return button->state();
    if (const auto* button = qobject_cast<const QAbstractButton*>(item))
        return button->isChecked() ? 1 : 0;
    return 0;
}

void UserInterfaceItem::setState(QObject* item, int state)
{
    if (auto* action = qobject_cast<QAction*>(item)) {
        action->setCheckable(action->isCheckable() || state != 0);
        action->setChecked(state != 0);
    } else if (auto* button = qobject_cast<CellButton*>(item)) {
        button->setState(state);
    } else if (auto* abstractButton = qobject_cast<QAbstractButton*>(item)) {
        abstractButton->setChecked(state != 0);
    }
}

bool UserInterfaceItem::isEnabled(const QObject* item)
{
    if (const auto* action = qobject_cast<const QAction*>(item))
        return action->isEnabled();
    if (const auto* widget = qobject_cast<const QWidget*>(item))
        return widget->isEnabled();
    return false;
}

void UserInterfaceItem::setEnabled(QObject* item, bool enabled)
{
    if (auto* action = qobject_cast<QAction*>(item))
        action->setEnabled(enabled);
    else if (auto* widget = qobject_cast<QWidget*>(item))
        widget->setEnabled(enabled);
}

QObject* UserInterfaceItem::send(QObject* item)
{
    return ResponderChain::send(command(item), item, target(item), origin(item));
}

} // namespace tavrel
