#pragma once

#include "controls/TQTrackingButton.h"
#include "platform/runtime/Timing.h"

#include <QPointer>
#include <QTimer>

namespace tavrel {

// A square button on a background tile, its cell drawn 32 by 32 in the middle, that tells a single
// click from a double click. When its cell has a double action, a single click is reported only after
// a short wait without a second click, and a double click sends the double action instead. The action
// and target set on the button (or on a cell it is given) are where a click goes; the click itself is
// always routed through the button.
class TQBoxButton : public TQTrackingButton
{
    Q_OBJECT
public:
    // How long a single click waits for a second one.
    static inline const Timing kConfirmClickDelay{"boxButtonConfirmClick", 100};

    // Without a cell it makes a plain button cell.
    explicit TQBoxButton(QWidget* parent = nullptr);
    explicit TQBoxButton(std::shared_ptr<Cell> cell, QWidget* parent = nullptr);
    ~TQBoxButton() override;

    // Installs the cell and takes its action and target as the button's.
    void setCell(std::shared_ptr<Cell> cell) override;
    // Where a click goes: a command up the responder chain (or to the target), or a function.
    void setAction(const QString& command);
    void setAction(Cell::Action action);
    void setTarget(QObject* target) { m_externalTarget = target; }
    QString externalAction() const { return m_externalCommand; }
    QObject* externalTarget() const { return m_externalTarget; }

    bool hiddenBackground() const { return m_hiddenBackground; }
    void setHiddenBackground(bool hidden);

    // The button's own action: a click, told apart from a double click.
    void internalAction();
    // Sends the action for a single click.
    void confirmClick();
    bool hasPendingConfirmation() const { return m_confirmTimer.isActive(); }

    QSize sizeHint() const override { return {48, 48}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_externalCommand;
    Cell::Action m_externalFunction;
    QPointer<QObject> m_externalTarget;
    bool m_hiddenBackground = false;
    QTimer m_confirmTimer;
};

} // namespace tavrel
