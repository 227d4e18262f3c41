#pragma once

#include <QString>
#include <QVariant>

class QAction;
class QObject;
class QWidget;

namespace tavrel {

// The items that send commands and are validated against the responder chain, whatever their class:
// menu actions (QAction, the design's tag in data()), cell buttons (command, tag and target of their
// cell) and other buttons (dynamic properties). Validators receive such an item and read or change
// it through these functions.
class UserInterfaceItem
{
public:
    // A menu action sending the command (to the target, or up the responder chain) when triggered.
    static QAction* makeAction(const QString& title, const QString& command, QObject* parent, int tag = 0,
                               QObject* target = nullptr);

    static QString command(const QObject* item);
    static void setCommand(QObject* item, const QString& command);
    static int tag(const QObject* item);
    static void setTag(QObject* item, int tag);
    // The explicit target; nullptr sends up the responder chain.
    static QObject* target(const QObject* item);
    static void setTarget(QObject* item, QObject* target);
    // Where the responder chain starts for this item (a menu opened over a view starts at that view);
    // nullptr: the first responder.
    static QWidget* origin(const QObject* item);
    static void setOrigin(QObject* item, QWidget* origin);

    static QString title(const QObject* item);
    static void setTitle(QObject* item, const QString& title);
    // On/off state: a check mark on a menu action, the state of a cell button.
    static int state(const QObject* item);
    static void setState(QObject* item, int state);
    // The object the item stands for (an application, a person, a record): a cell button's own, else
    // a property of the item; invalid when none.
    static QVariant representedObject(const QObject* item);
    static void setRepresentedObject(QObject* item, const QVariant& object);
    static bool isEnabled(const QObject* item);
    static void setEnabled(QObject* item, bool enabled);

    // Sends the item's command from its origin with the item as sender; answers the receiver.
    static QObject* send(QObject* item);
};

} // namespace tavrel
