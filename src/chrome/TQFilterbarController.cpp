#include "chrome/TQFilterbarController.h"

#include "controls/TQFloatingWindow.h"
#include "controls/TQRadioButtonbar.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/system/TQLog.h"
#include "platform/ui/MethodNames.h"

#include <QAbstractButton>
#include <QEvent>
#include <QWidget>

namespace tavrel {

TQFilterbarController::TQFilterbarController(QObject* parent) : TQViewController(QString(), parent) {}

void TQFilterbarController::setFilterbar(TQRadioButtonbar* filterbar)
{
    m_filterbar = filterbar;
    m_previousSelection = -1;
    if (!filterbar)
        return;
    filterbar->setDelegate(nullptr);
    filterbar->activateButtonAtIndex(0);
    filterbar->setDelegate(this);
}

QList<TQViewController*> TQFilterbarController::controllers() const
{
    QList<TQViewController*> list;
    for (const QPointer<TQViewController>& controller : m_controllers)
        list << controller.data();
    return list;
}

void TQFilterbarController::setControllers(const QList<TQViewController*>& controllers)
{
    if (controllers == this->controllers())
        return;
    if (TQViewController* current = currentController(); current && current->isViewLoaded())
        current->view()->setParent(nullptr);
    m_controllers.clear();
    for (TQViewController* controller : controllers) {
        if (controller && !controller->parent())
            controller->setParent(this);
        m_controllers << controller;
    }
    // What was shown belonged to the old list.
    m_previousSelection = -1;
    if (controllers.isEmpty() || !m_filterbar)
        return;
    m_filterbar->setDelegate(nullptr);
    m_filterbar->activateButtonAtIndex(int(m_initialController));
    if (m_initialController >= 0 && m_initialController < m_controllers.size())
        installController(m_controllers.at(m_initialController));
    m_previousSelection = m_initialController;
    m_filterbar->setDelegate(this);
}

TQViewController* TQFilterbarController::currentController() const
{
    if (!m_filterbar)
        return nullptr;
    const int index = indexOfButton(m_filterbar->activeButton());
    return index >= 0 && index < m_controllers.size() ? m_controllers.at(index).data() : nullptr;
}

void TQFilterbarController::setNavigationController(TQNavigationController* controller)
{
    TQViewController::setNavigationController(controller);
    for (const QPointer<TQViewController>& each : m_controllers)
        if (each)
            each->setNavigationController(controller);
}

void TQFilterbarController::installController(TQViewController* controller)
{
    if (m_previousSelection >= 0 && m_previousSelection < m_controllers.size()) {
        if (TQViewController* outgoing = m_controllers.at(m_previousSelection)) {
            outgoing->viewWillUninstall();
            outgoing->view()->hide();
            outgoing->view()->setParent(nullptr);
            outgoing->viewDidUninstall();
        }
    }
    if (!controller)
        return;
    QWidget* host = view();
    QWidget* incoming = controller->view();
    incoming->setParent(host);
    incoming->setGeometry(host->rect());
    incoming->show();
    host->installEventFilter(this);
    controller->viewDidInstall();
    if (m_delegate && m_delegate->metaObject()->indexOfMethod(
                          "filterbarControllerDidSwitchToController(QObject*,QObject*)") >= 0)
        QMetaObject::invokeMethod(m_delegate, Methods::filterbarControllerDidSwitchToController,
                                  Q_ARG(QObject*, this), Q_ARG(QObject*, controller));
    NotificationCenter::defaultCenter().post(TQFloatingWindow::kQuickShareDialogShouldDetachNotification,
                                             static_cast<QObject*>(host->window()));
}

int TQFilterbarController::indexOfButton(QObject* button) const
{
    auto* abstractButton = qobject_cast<QAbstractButton*>(button);
    return m_filterbar && abstractButton ? m_filterbar->indexOfButton(abstractButton) : -1;
}

bool TQFilterbarController::radiobarShouldActivateButton(QObject*, QObject* button)
{
    const int index = indexOfButton(button);
    if (index < 0 || index >= m_controllers.size()) {
        TQLog("E: Number of controllers less then number of buttons");
        return true;
    }
    if (m_delegate && m_delegate->metaObject()->indexOfMethod(
                          "filterbarControllerShouldSwitchToController(QObject*,QObject*)") >= 0) {
        bool answer = true;
        QMetaObject::invokeMethod(m_delegate, Methods::filterbarControllerShouldSwitchToController,
                                  Q_RETURN_ARG(bool, answer), Q_ARG(QObject*, this),
                                  Q_ARG(QObject*, m_controllers.at(index).data()));
        return answer;
    }
    return true;
}

void TQFilterbarController::radiobarWillDeactivateButton(QObject*, QObject* button)
{
    const int index = indexOfButton(button);
    // A button without a controller was never installed: the one before it stays the outgoing one.
    if (!m_controllers.isEmpty() && index >= 0 && index < m_controllers.size())
        m_previousSelection = index;
}

void TQFilterbarController::radiobarDidActivateButton(QObject*, QObject* button)
{
    if (m_controllers.isEmpty())
        return;
    const int index = indexOfButton(button);
    // A button without a controller keeps the body as it is.
    if (index >= 0 && index < m_controllers.size())
        installController(m_controllers.at(index));
}

bool TQFilterbarController::eventFilter(QObject* watched, QEvent* event)
{
    // The installed body follows the size of the view.
    if (isViewLoaded() && watched == view() && event->type() == QEvent::Resize)
        if (TQViewController* current = currentController(); current && current->isViewLoaded())
            current->view()->setGeometry(view()->rect());
    return TQViewController::eventFilter(watched, event);
}

} // namespace tavrel
