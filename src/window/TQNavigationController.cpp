#include "window/TQNavigationController.h"

#include "controls/TQArrowButtonCell.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/Animations.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"
#include "window/TQTitlebar.h"
#include "window/TQViewController.h"

#include <QApplication>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QWidget>

namespace tavrel {

// The stack's area: keeps the top view filling it as it resizes.
class NavigationView : public QWidget
{
public:
    explicit NavigationView(TQNavigationController* controller) : m_controller(controller) {}

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        if (m_controller)
            m_controller->layoutTopView();
    }

private:
    QPointer<TQNavigationController> m_controller;
};

TQNavigationController::TQNavigationController(QObject* parent) : QObject(parent)
{
    m_view = new NavigationView(this);
    m_view->setObjectName(QStringLiteral("navigationView"));
}

TQNavigationController::~TQNavigationController()
{
    if (m_currentAnimation)
        m_currentAnimation->stop();
    // The controllers own their views: take them out of the area before it goes.
    QList<TQViewController*> controllers = navigationHistory();
    controllers.append(m_currentController);
    for (TQViewController* controller : std::as_const(controllers))
        if (controller && controller->isViewLoaded() && controller->view()->parentWidget() == m_view)
            controller->view()->setParent(nullptr);
    delete m_view.data();
}

TQViewController* TQNavigationController::currentController() const
{
    return m_currentController;
}

TQTitlebar* TQNavigationController::toolbar() const
{
    return m_toolbar;
}

void TQNavigationController::setToolbar(TQTitlebar* toolbar)
{
    m_toolbar = toolbar;
}

QList<TQViewController*> TQNavigationController::navigationHistory() const
{
    QList<TQViewController*> history;
    for (const auto& controller : m_navigationHistory)
        if (controller)
            history.append(controller);
    return history;
}

TQViewController* TQNavigationController::topController() const
{
    const QList<TQViewController*> history = navigationHistory();
    return history.isEmpty() ? m_currentController.data() : history.constLast();
}

void TQNavigationController::setCurrentController(TQViewController* controller)
{
    if (controller == m_currentController)
        return;
    m_currentController = controller;
    resetNavigationHistory();
}

void TQNavigationController::resetNavigationHistory()
{
    m_navigationHistory.clear();
    if (m_toolbar)
        m_toolbar->dropNavigationButtons();
}

QStringList TQNavigationController::regularBackgroundImageNames()
{
    return {QStringLiteral("nav_regular_1"), QStringLiteral("nav_regular_2"),
            QStringLiteral("nav_regular_3")};
}

QStringList TQNavigationController::activeBackgroundImageNames()
{
    return {QStringLiteral("nav_active_1"), QStringLiteral("nav_active_2"), QStringLiteral("nav_active_3")};
}

void TQNavigationController::installControllerFromBottom(TQViewController* controller)
{
    TQViewController* outgoing = topController();
    if (!controller || controller == outgoing)
        return;
    slide(Slide::FromBottom, controller, outgoing);
    setCurrentController(controller);
    if (!outgoing) {
        controller->viewDidInstall();
        emit topControllerDidChange(controller);
    }
    runSlide();
}

void TQNavigationController::installControllerFromTop(TQViewController* controller)
{
    TQViewController* outgoing = topController();
    if (!controller || controller == outgoing)
        return;
    slide(Slide::FromTop, controller, outgoing);
    setCurrentController(controller);
    if (!outgoing) {
        controller->viewDidInstall();
        emit topControllerDidChange(controller);
    }
    runSlide();
}

void TQNavigationController::pushController(TQViewController* controller)
{
    const QList<TQViewController*> history = navigationHistory();
    TQViewController* outgoing = history.isEmpty() ? m_currentController.data() : history.constLast();
    if (!controller || controller == outgoing)
        return;
    slide(Slide::Push, controller, outgoing);
    m_navigationHistory.append(controller);
    runSlide();
    auto cell = std::make_shared<TQArrowButtonCell>(outgoing ? outgoing->title() : QString());
    QList<QPixmap> regular, active;
    for (const QString& name : regularBackgroundImageNames())
        regular.append(ImageRegistry::pixmap(name));
    for (const QString& name : activeBackgroundImageNames())
        active.append(ImageRegistry::pixmap(name));
    cell->setRegularBackgroundParts(regular);
    cell->setActiveBackgroundParts(active);
    cell->setCommand(Commands::goBack);
    cell->setTarget(this);
    auto* button = new CellButton(cell);
    button->setObjectName(QStringLiteral("backButton"));
    button->resize(button->sizeHint());
    if (m_toolbar)
        m_toolbar->pushNavigationButton(button);
    else
        delete button;
}

TQViewController* TQNavigationController::popController()
{
    m_navigationHistory.removeAll(nullptr);
    if (m_navigationHistory.isEmpty())
        return nullptr;
    QPointer<TQViewController> removed = m_navigationHistory.takeLast();
    TQViewController* incoming = topController();
    slide(Slide::Pop, incoming, removed);
    runSlide();
    if (m_toolbar)
        m_toolbar->popNavigationButton();
    return removed;
}

void TQNavigationController::popToRootController()
{
    const QList<TQViewController*> history = navigationHistory();
    if (history.size() > 1) {
        TQViewController* last = history.constLast();
        resetNavigationHistory();
        m_navigationHistory.append(last);
    }
    popController();
}

void TQNavigationController::goBack(QObject*)
{
    popController();
}

void TQNavigationController::storeNavigationHistory()
{
    m_storage.clear();
    m_storage.append(m_currentController);
    m_storage.append(m_navigationHistory);
    if (m_toolbar)
        m_toolbar->storeNavigationButtons();
}

void TQNavigationController::restoreNavigationHistory()
{
    if (m_storage.isEmpty())
        return;
    const QList<QPointer<TQViewController>> stored = std::exchange(m_storage, {});
    installControllerFromBottom(stored.constLast());
    // The stored root is the root again without resetting the restored history below.
    m_currentController = stored.constFirst();
    m_navigationHistory = stored.mid(1);
    if (m_toolbar)
        m_toolbar->restoreNavigationButtons();
    emit topControllerDidChange(topController());
}

void TQNavigationController::clearFirstResponder()
{
    QWidget* focus = QApplication::focusWidget();
    if (focus && m_view && m_view->isAncestorOf(focus))
        focus->clearFocus();
}

void TQNavigationController::layoutTopView()
{
    if (m_currentAnimation)
        return;
    if (TQViewController* top = topController(); top && top->isViewLoaded())
        top->view()->setGeometry(m_view->rect());
}

void TQNavigationController::slide(Slide kind, TQViewController* incoming, TQViewController* outgoing)
{
    clearFirstResponder();
    stopCurrentAnimation(incoming);
    const QRect bounds = m_view->rect();
    const int w = bounds.width();
    const int h = bounds.height();
    QRect start = bounds;
    if (outgoing) {
        switch (kind) {
        case Slide::FromBottom:
            start.translate(0, h);
            break;
        case Slide::FromTop:
            start.translate(0, -h);
            break;
        case Slide::Push:
            start.translate(w, 0);
            break;
        case Slide::Pop:
            start.translate(-w, 0);
            break;
        }
    }
    QWidget* incomingView = incoming->view();
    incomingView->setParent(m_view);
    incomingView->setGeometry(start);
    incomingView->show();
    incomingView->raise();
    incoming->setNavigationController(this);
    if (!outgoing || !outgoing->isViewLoaded())
        return;
    QWidget* outgoingView = outgoing->view();
    QRect outgoingEnd = outgoingView->geometry();
    switch (kind) {
    case Slide::FromBottom:
        outgoingEnd.moveTop(-(outgoingEnd.height() + 1));
        break;
    case Slide::FromTop:
        outgoingEnd.moveTop(outgoingEnd.height() + 1);
        break;
    case Slide::Push:
        outgoingEnd.moveLeft(outgoingEnd.x() - (outgoingEnd.width() + 1));
        break;
    case Slide::Pop:
        outgoingEnd.moveLeft(outgoingEnd.x() + outgoingEnd.width());
        break;
    }
    const bool install = kind == Slide::FromBottom || kind == Slide::FromTop;
    m_entries = {{incomingView, bounds, nullptr, false}, {outgoingView, outgoingEnd, outgoing, install}};
    auto* group = new QParallelAnimationGroup(this);
    for (const Entry& entry : std::as_const(m_entries))
        group->addAnimation(Animations::property(entry.view, "geometry", entry.endFrame, Animations::kNormal,
                                                 Animations::Curve::EaseInOut, group));
    connect(group, &QAbstractAnimation::finished, this, &TQNavigationController::animationDidEnd);
    m_currentAnimation = group;
}

void TQNavigationController::runSlide()
{
    // Started once the stack holds its new state, which the end of the slide reads.
    if (m_currentAnimation && m_currentAnimation->state() == QAbstractAnimation::Stopped)
        Animations::start(m_currentAnimation);
}

void TQNavigationController::stopCurrentAnimation(TQViewController* nextIncoming)
{
    if (!m_currentAnimation)
        return;
    QAbstractAnimation* running = m_currentAnimation;
    m_currentAnimation = nullptr;
    disconnect(running, nullptr, this, nullptr);
    if (running->state() == QAbstractAnimation::Stopped)
        running->deleteLater();
    else
        running->stop();
    const QList<Entry> entries = std::exchange(m_entries, {});
    for (const Entry& entry : entries)
        if (entry.view)
            entry.view->setGeometry(entry.endFrame);
    finishEntries(entries, nextIncoming);
}

void TQNavigationController::finishEntries(const QList<Entry>& entries, TQViewController* keep)
{
    for (const Entry& entry : entries) {
        TQViewController* controller = entry.removeController;
        if (!controller || controller == keep)
            continue;
        controller->viewWillUninstall();
        controller->setNavigationController(nullptr);
        if (entry.view) {
            entry.view->hide();
            entry.view->setParent(nullptr);
        }
        controller->viewDidUninstall();
        if (entry.cleanSearch)
            controller->setSearchString(QString());
    }
}

void TQNavigationController::animationDidEnd()
{
    const QList<Entry> entries = std::exchange(m_entries, {});
    m_currentAnimation = nullptr;
    finishEntries(entries, nullptr);
    if (TQViewController* top = topController()) {
        top->viewDidInstall();
        emit topControllerDidChange(top);
    }
    NotificationCenter::defaultCenter().post(kQuickShareDialogShouldDetachNotification,
                                             m_view ? static_cast<QObject*>(m_view->window()) : nullptr);
}

} // namespace tavrel
