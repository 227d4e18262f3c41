#pragma once

#include <QKeySequence>
#include <QString>

class QKeyEvent;
class QMenu;

namespace tavrel {

// The platform's standard keys of the window's commands, in one table: Quit (Ctrl+Q), Close (Ctrl+W),
// Find (Ctrl+F), and on a focused list Open (Enter), Rename (F2) and Delete. The window sends the
// command of a key up the responder chain; menus show the keys beside their items.
class StandardKeys
{
public:
    // The command the key press stands for, or nothing. The list's keys count only when `onList`.
    static QString commandForKey(const QKeyEvent* event, bool onList);
    // The key shown beside the command in menus; empty for none.
    static QKeySequence keyForCommand(const QString& command);
    // Shows the keys of the menu's commands (and its submenus') beside them. The items' shortcuts act
    // only within their open menu: the window dispatches the keys itself.
    static void showKeys(QMenu* menu);
};

} // namespace tavrel
