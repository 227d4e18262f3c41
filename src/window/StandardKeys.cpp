#include "window/StandardKeys.h"

#include "platform/ui/MessageNames.h"
#include "platform/ui/UserInterfaceItem.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>

namespace tavrel {

namespace {

struct KeyRow
{
    QLatin1String command;
    QKeySequence::StandardKey standard; // QKeySequence::UnknownKey: `key` alone
    QKeyCombination key;                // shown in menus; matched when no standard key says so
    bool listOnly;
};

const KeyRow kRows[] = {
    {Commands::terminate, QKeySequence::Quit, Qt::CTRL | Qt::Key_Q, false},
    {Commands::close, QKeySequence::Close, Qt::CTRL | Qt::Key_W, false},
    {Commands::goFind, QKeySequence::Find, Qt::CTRL | Qt::Key_F, false},
    {Commands::fastUpdate, QKeySequence::UnknownKey, Qt::CTRL | Qt::Key_R, false},
    {Commands::open, QKeySequence::UnknownKey, QKeyCombination(Qt::Key_Return), true},
    {Commands::rename, QKeySequence::UnknownKey, QKeyCombination(Qt::Key_F2), true},
    {Commands::deleteEntity, QKeySequence::Delete, QKeyCombination(Qt::Key_Delete), true},
};

bool matches(const KeyRow& row, const QKeyEvent* event)
{
    if (row.standard != QKeySequence::UnknownKey && event->matches(row.standard))
        return true;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    // The keypad's Enter opens as Return does.
    const int key = event->key() == Qt::Key_Enter ? Qt::Key_Return : event->key();
    return key == row.key.key() && modifiers == row.key.keyboardModifiers();
}

} // namespace

QString StandardKeys::commandForKey(const QKeyEvent* event, bool onList)
{
    if (!event)
        return {};
    for (const KeyRow& row : kRows)
        if ((onList || !row.listOnly) && matches(row, event))
            return row.command;
    return {};
}

QKeySequence StandardKeys::keyForCommand(const QString& command)
{
    for (const KeyRow& row : kRows)
        if (command == row.command)
            return QKeySequence(row.key);
    return {};
}

void StandardKeys::showKeys(QMenu* menu)
{
    if (!menu)
        return;
    for (QAction* item : menu->actions()) {
        if (auto* submenu = item->menu<QMenu*>())
            showKeys(submenu);
        const QKeySequence key = keyForCommand(UserInterfaceItem::command(item));
        if (key.isEmpty())
            continue;
        item->setShortcut(key);
        item->setShortcutContext(Qt::WidgetShortcut);
    }
}

} // namespace tavrel
