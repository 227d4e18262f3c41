#pragma once

#include "controls/TQButtonbar.h"

class QDropEvent;

namespace tavrel {

// A button bar whose buttons form a radio group: exactly one is on, the active button. Every button's
// action is the bar's activateButton:, and the delegate (TQRadioButtonbarDelegate) may veto an
// activation and hears of each one. Drop buttons of the bar ask it whether they may take a drag: any
// but the active one may.
class TQRadioButtonbar : public TQButtonbar
{
    Q_OBJECT
public:
    explicit TQRadioButtonbar(QWidget* parent = nullptr);

    // Not owned.
    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }
    QAbstractButton* activeButton() const { return m_activeButton; }

    // Forgets the active button, installs the buttons (even the list already held), makes the bar
    // every button's target and the drop delegate of drop buttons, turns them off, and activates the
    // first.
    void setButtons(const QList<QAbstractButton*>& buttons) override;
    // As if that button had been clicked; nothing for an index beyond the buttons.
    void activateButtonAtIndex(int index);
    // The index of that very button, -1 when it is not one of the bar's.
    int indexOfButton(const QAbstractButton* button) const;

    // The action of every button (a click has already toggled its state), also called by controllers.
    Q_INVOKABLE void activateButton(QObject* sender);
    // The delegate's answer when it validates items, else YES.
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item);
    // The drop delegate's question from a drop button: any button but the active one.
    Q_INVOKABLE bool acceptorCanAcceptDraggingInfo(QObject* acceptor, QDropEvent* draggingInfo);

private:
    QPointer<QObject> m_delegate;
    QPointer<QAbstractButton> m_activeButton;
};

} // namespace tavrel
