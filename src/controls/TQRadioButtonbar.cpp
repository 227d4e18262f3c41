#include "controls/TQRadioButtonbar.h"

#include "controls/TQRadioButtonbarDelegate.h"
#include "platform/runtime/Invocation.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/UserInterfaceItem.h"

#include <QAbstractButton>
#include <QDropEvent>

namespace tavrel {

namespace {
const QString kActivateCommand = Commands::activateButton;
const QString kSetDelegateSelector = Commands::setDelegate;
const char* const kSendsCommandProperty = "tavrelSendsCommand";

QVariant object(QObject* object)
{
    return QVariant::fromValue(object);
}
} // namespace

TQRadioButtonbar::TQRadioButtonbar(QWidget* parent) : TQButtonbar(parent) {}

void TQRadioButtonbar::setButtons(const QList<QAbstractButton*>& buttons)
{
    m_activeButton = nullptr;
    TQButtonbar::setButtons(buttons);
    for (QAbstractButton* button : this->buttons()) {
        if (auto* cellButton = qobject_cast<CellButton*>(button)) {
            cellButton->cell()->setAction({});
        } else if (!button->property(kSendsCommandProperty).toBool()) {
            // A button without a cell sends its command when clicked.
            button->setProperty(kSendsCommandProperty, true);
            connect(button, &QAbstractButton::clicked, button, [button] { UserInterfaceItem::send(button); });
        }
        UserInterfaceItem::setCommand(button, kActivateCommand);
        UserInterfaceItem::setTarget(button, this);
        if (Invocation::respondsToSelector(button, kSetDelegateSelector)) {
            const InvocationPtr setDelegate = Invocation::invocationForSelector(kSetDelegateSelector, button);
            setDelegate->setArgument(Invocation::kFirstArgument, object(this));
            setDelegate->invoke();
        }
        UserInterfaceItem::setState(button, 0);
    }
    activateButtonAtIndex(0);
}

void TQRadioButtonbar::activateButtonAtIndex(int index)
{
    const QList<QAbstractButton*> buttons = this->buttons();
    if (index >= 0 && index < buttons.size())
        activateButton(buttons[index]);
}

int TQRadioButtonbar::indexOfButton(const QAbstractButton* button) const
{
    const QList<QAbstractButton*> buttons = this->buttons();
    for (int i = 0; i < buttons.size(); ++i)
        if (buttons[i] == button)
            return i;
    return -1;
}

void TQRadioButtonbar::activateButton(QObject* sender)
{
    auto* button = qobject_cast<QAbstractButton*>(sender);
    if (!button)
        return;
    QObject* delegate = m_delegate;
    using Delegate = TQRadioButtonbarDelegate;
    if (Delegate::send(delegate, Delegate::kShouldActivateButtonSelector, {object(this), object(button)}) ==
        false) {
        // Undo the toggle the click made.
        UserInterfaceItem::setState(button, UserInterfaceItem::state(button) ? 0 : 1);
        return;
    }
    if (button == m_activeButton) {
        // The click on the button that is on had turned it off.
        UserInterfaceItem::setState(button, 1);
        Delegate::send(delegate, Delegate::kDidReactivateButtonSelector, {object(this), object(button)});
        return;
    }
    QAbstractButton* previous = m_activeButton;
    Delegate::send(delegate, Delegate::kWillDeactivateButtonSelector, {object(this), object(previous)});
    if (previous)
        UserInterfaceItem::setState(previous, 0);
    m_activeButton = button;
    UserInterfaceItem::setState(button, 1);
    Delegate::send(delegate, Delegate::kDidActivateButtonSelector, {object(this), object(button)});
}

bool TQRadioButtonbar::validateUserInterfaceItem(QObject* item)
{
    return TQRadioButtonbarDelegate::send(
               m_delegate, TQRadioButtonbarDelegate::kValidateUserInterfaceItemSelector, {object(item)})
        .value_or(true);
}

bool TQRadioButtonbar::acceptorCanAcceptDraggingInfo(QObject* acceptor, QDropEvent*)
{
    return acceptor != m_activeButton;
}

} // namespace tavrel
