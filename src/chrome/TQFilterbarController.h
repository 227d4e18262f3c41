#pragma once

#include "window/TQViewController.h"

#include <QList>
#include <QPointer>

class QAbstractButton;

namespace tavrel {

class TQRadioButtonbar;

// A body that changes with the active button of a filter bar: one view controller per button, the
// active button's installed in this controller's view. The delegate (any QObject, both optional):
//     Q_INVOKABLE bool filterbarControllerShouldSwitchToController(QObject* filterbarController,
//                                                                  QObject* controller);   // NO keeps
//     Q_INVOKABLE void filterbarControllerDidSwitchToController(QObject* filterbarController,
//                                                               QObject* controller);   // after install
// The navigation stack it is given passes on to every sub-controller. Main thread only.
class TQFilterbarController : public TQViewController
{
    Q_OBJECT
public:
    explicit TQFilterbarController(QObject* parent = nullptr);

    TQRadioButtonbar* filterbar() const { return m_filterbar; }
    // Activates the first button, then becomes the bar's delegate (so that first activation is silent).
    void setFilterbar(TQRadioButtonbar* filterbar);
    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }
    qint64 initialController() const { return m_initialController; }
    void setInitialController(qint64 index) { m_initialController = index; }
    qint64 previousSelection() const { return m_previousSelection; }

    // Controller i belongs to button i. Those without a parent become this controller's.
    QList<TQViewController*> controllers() const;
    void setControllers(const QList<TQViewController*>& controllers);
    // The active button's controller, none when it has no controller.
    TQViewController* currentController() const;

    void setNavigationController(TQNavigationController* controller) override;
    void installController(TQViewController* controller);

    Q_INVOKABLE bool radiobarShouldActivateButton(QObject* bar, QObject* button);
    Q_INVOKABLE void radiobarWillDeactivateButton(QObject* bar, QObject* button);
    Q_INVOKABLE void radiobarDidActivateButton(QObject* bar, QObject* button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int indexOfButton(QObject* button) const;

    QPointer<TQRadioButtonbar> m_filterbar;
    QList<QPointer<TQViewController>> m_controllers;
    QPointer<QObject> m_delegate;
    qint64 m_previousSelection = -1;
    qint64 m_initialController = 0;
};

} // namespace tavrel
