#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QWidget;

namespace tavrel {

// Commands are named by selector text ("share:", "deleteEntity:") and sent to whoever answers them.
// An object answers a command when it has a Q_INVOKABLE method (or slot) of that name taking one
// parameter, the sender (QObject*): "share:" calls share(sender). Text fields also answer the
// standard edit commands "cut:", "copy:", "paste:", "selectAll:", "undo:" and "redo:".
//
// The chain a command without a target travels: the first responder (the focus widget), then each
// widget up to its window, each followed by the responders inserted behind it (a view controller
// behind its view, and the wrappers of that controller behind theirs; a window controller behind its
// window), then the application delegate. Validation walks the same chain: the object that would
// receive the command decides, by its Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) when
// it has one, otherwise the command is enabled.
class ResponderChain
{
public:
    // Puts a responder right behind the view (after those already inserted there). A responder that
    // is destroyed leaves the chain by itself.
    static void insertResponder(QWidget* view, QObject* responder);
    static void removeResponder(QWidget* view, QObject* responder);
    static QList<QObject*> respondersBehind(const QWidget* view);

    // The last object of the chain.
    static void setApplicationDelegate(QObject* delegate);
    static QObject* applicationDelegate();

    // The focus widget of the active window; while a menu or another popup is open, the focus widget
    // that was current before it opened.
    static QWidget* firstResponder();
    // Every responder in order, from the widget (the first responder when null).
    static QList<QObject*> chain(QWidget* from = nullptr);

    // Whether the object answers the command.
    static bool respondsToCommand(const QObject* object, const QString& command);
    // The object that would receive the command: the target when it answers, otherwise the first
    // answering responder of the chain from the widget; nullptr when nobody answers.
    static QObject* targetForCommand(const QString& command, QObject* target = nullptr,
                                     QWidget* from = nullptr);
    // Sends the command to its target (see targetForCommand) with the sender. Answers the receiver,
    // nullptr when nobody answered.
    static QObject* send(const QString& command, QObject* sender, QObject* target = nullptr,
                         QWidget* from = nullptr);
    // Whether an item (a menu action, a button) sending the command is enabled now.
    static bool validate(const QString& command, QObject* item, QObject* target = nullptr,
                         QWidget* from = nullptr);
};

} // namespace tavrel
