#include "platform/ui/ResponderChain.h"

#include "platform/runtime/Invocation.h"
#include "platform/ui/MessageNames.h"

#include <QApplication>
#include <QClipboard>
#include <QHash>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <QWidget>

namespace tavrel {

namespace {

const QString kValidateSelector = Commands::validateUserInterfaceItem;

struct Registry
{
    QHash<const QWidget*, QList<QPointer<QObject>>> behind;
    QPointer<QObject> delegate;
    QPointer<QWidget> lastRegularFocus;
    bool trackingFocus = false;
};

Registry& registry()
{
    static Registry r;
    return r;
}

bool isInPopup(const QWidget* widget)
{
    return widget && widget->window()->windowType() == Qt::Popup;
}

// Follows the focus so that a menu knows where the keyboard was before it opened.
void trackFocus()
{
    Registry& r = registry();
    if (r.trackingFocus || !qApp)
        return;
    r.trackingFocus = true;
    if (QWidget* focus = QApplication::focusWidget(); focus && !isInPopup(focus))
        r.lastRegularFocus = focus;
    QObject::connect(qApp, &QApplication::focusChanged, qApp, [](QWidget*, QWidget* now) {
        if (now && !isInPopup(now))
            registry().lastRegularFocus = now;
    });
}

// --- The standard edit commands of text fields ---

enum class EditCommand { None, Cut, Copy, Paste, SelectAll, Undo, Redo };

EditCommand editCommand(const QString& command)
{
    static const QHash<QString, EditCommand> commands{
        {Commands::cut, EditCommand::Cut},     {Commands::copy, EditCommand::Copy},
        {Commands::paste, EditCommand::Paste}, {Commands::selectAll, EditCommand::SelectAll},
        {Commands::undo, EditCommand::Undo},   {Commands::redo, EditCommand::Redo},
    };
    return commands.value(command, EditCommand::None);
}

bool isTextWidget(const QObject* object)
{
    return qobject_cast<const QLineEdit*>(object) || qobject_cast<const QTextEdit*>(object) ||
           qobject_cast<const QPlainTextEdit*>(object);
}

bool editCommandEnabled(QObject* object, EditCommand command)
{
    bool readOnly = false;
    bool hasSelection = false;
    bool undo = false;
    bool redo = false;
    if (auto* line = qobject_cast<QLineEdit*>(object)) {
        readOnly = line->isReadOnly();
        hasSelection = line->hasSelectedText() && line->echoMode() == QLineEdit::Normal;
        undo = line->isUndoAvailable();
        redo = line->isRedoAvailable();
    } else if (auto* text = qobject_cast<QTextEdit*>(object)) {
        readOnly = text->isReadOnly();
        hasSelection = text->textCursor().hasSelection();
        undo = text->document()->isUndoAvailable();
        redo = text->document()->isRedoAvailable();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(object)) {
        readOnly = plain->isReadOnly();
        hasSelection = plain->textCursor().hasSelection();
        undo = plain->document()->isUndoAvailable();
        redo = plain->document()->isRedoAvailable();
    }
    switch (command) {
    case EditCommand::Cut:
        return hasSelection && !readOnly;
    case EditCommand::Copy:
        return hasSelection;
    case EditCommand::Paste:
        return !readOnly && QApplication::clipboard() && !QApplication::clipboard()->text().isEmpty();
    case EditCommand::SelectAll:
        return true;
    case EditCommand::Undo:
        return undo && !readOnly;
    case EditCommand::Redo:
        return redo && !readOnly;
    case EditCommand::None:
        break;
    }
    return false;
}

void performEditCommand(QObject* object, EditCommand command)
{
    const char* method = nullptr;
    switch (command) {
    case EditCommand::Cut:
        method = "cut";
        break;
    case EditCommand::Copy:
        method = "copy";
        break;
    case EditCommand::Paste:
        method = "paste";
        break;
    case EditCommand::SelectAll:
        method = "selectAll";
        break;
    case EditCommand::Undo:
        method = "undo";
        break;
    case EditCommand::Redo:
        method = "redo";
        break;
    case EditCommand::None:
        return;
    }
    QMetaObject::invokeMethod(object, method);
}

bool answersItself(const QObject* object, const QString& command)
{
    if (editCommand(command) != EditCommand::None && isTextWidget(object))
        return true;
    return Invocation::respondsToSelector(object, command);
}

} // namespace

void ResponderChain::insertResponder(QWidget* view, QObject* responder)
{
    if (!view || !responder)
        return;
    Registry& r = registry();
    auto it = r.behind.find(view);
    if (it == r.behind.end()) {
        it = r.behind.insert(view, {});
        QObject::connect(view, &QObject::destroyed, [view] { registry().behind.remove(view); });
    }
    for (const QPointer<QObject>& existing : *it)
        if (existing == responder)
            return;
    it->append(responder);
}

void ResponderChain::removeResponder(QWidget* view, QObject* responder)
{
    Registry& r = registry();
    auto it = r.behind.find(view);
    if (it == r.behind.end())
        return;
    it->removeIf([responder](const QPointer<QObject>& p) { return p == responder || p.isNull(); });
}

QList<QObject*> ResponderChain::respondersBehind(const QWidget* view)
{
    QList<QObject*> responders;
    for (const QPointer<QObject>& responder : registry().behind.value(view))
        if (responder)
            responders.append(responder);
    return responders;
}

void ResponderChain::setApplicationDelegate(QObject* delegate)
{
    registry().delegate = delegate;
}

QObject* ResponderChain::applicationDelegate()
{
    return registry().delegate;
}

QWidget* ResponderChain::firstResponder()
{
    trackFocus();
    QWidget* focus = QApplication::focusWidget();
    if (focus && !isInPopup(focus))
        return focus;
    if (QWidget* last = registry().lastRegularFocus; last && last->isVisible())
        return last;
    QWidget* active = QApplication::activeWindow();
    return active && !isInPopup(active) ? active : nullptr;
}

QList<QObject*> ResponderChain::chain(QWidget* from)
{
    QList<QObject*> responders;
    for (QWidget* widget = from ? from : firstResponder(); widget; widget = widget->parentWidget()) {
        responders.append(widget);
        responders.append(respondersBehind(widget));
        // The chain of a window ends with it and its controller; a dialog's does not go on into
        // the window it is attached to.
        if (widget->isWindow())
            break;
    }
    if (QObject* delegate = applicationDelegate(); delegate && !responders.contains(delegate))
        responders.append(delegate);
    return responders;
}

bool ResponderChain::respondsToCommand(const QObject* object, const QString& command)
{
    return object && !command.isEmpty() && answersItself(object, command);
}

QObject* ResponderChain::targetForCommand(const QString& command, QObject* target, QWidget* from)
{
    if (command.isEmpty())
        return nullptr;
    if (target)
        return respondsToCommand(target, command) ? target : nullptr;
    for (QObject* responder : chain(from))
        if (respondsToCommand(responder, command))
            return responder;
    return nullptr;
}

QObject* ResponderChain::send(const QString& command, QObject* sender, QObject* target, QWidget* from)
{
    QObject* receiver = targetForCommand(command, target, from);
    if (!receiver)
        return nullptr;
    if (const EditCommand edit = editCommand(command); edit != EditCommand::None && isTextWidget(receiver)) {
        performEditCommand(receiver, edit);
        return receiver;
    }
    const InvocationPtr invocation = Invocation::invocationForSelector(command, receiver);
    invocation->setArgument(Invocation::kFirstArgument, QVariant::fromValue(sender));
    invocation->invoke();
    return receiver;
}

bool ResponderChain::validate(const QString& command, QObject* item, QObject* target, QWidget* from)
{
    QObject* receiver = targetForCommand(command, target, from);
    if (!receiver)
        return false;
    if (const EditCommand edit = editCommand(command); edit != EditCommand::None && isTextWidget(receiver))
        return editCommandEnabled(receiver, edit);
    if (!Invocation::respondsToSelector(receiver, kValidateSelector))
        return true;
    const InvocationPtr invocation = Invocation::invocationForSelector(kValidateSelector, receiver);
    invocation->setArgument(Invocation::kFirstArgument, QVariant::fromValue(item));
    invocation->invoke();
    return invocation->returnValue().toBool();
}

} // namespace tavrel
