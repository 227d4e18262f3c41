#include "chrome/TQUtilityWindowController.h"

#include "chrome/TQFloatingTitlebar.h"
#include "controls/TQHostView.h"
#include "platform/ui/ImageRegistry.h"
#include "window/TQViewController.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

namespace tavrel {

TQUtilityWindowController::TQUtilityWindowController()
{
    auto* window = new QWidget(nullptr, Qt::Window);
    window->setObjectName(QStringLiteral("UtilityWindow"));
    window->resize(420, 480);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_titleToolbar = new TQFloatingTitlebar(window);
    m_titleToolbar->setFixedHeight(kTitlebarHeight);
    m_titleToolbar->setBackgroundImage(ImageRegistry::pixmap(QStringLiteral("title_background")));
    m_hostView = new TQHostView(window);
    layout->addWidget(m_titleToolbar);
    layout->addWidget(m_hostView, 1);
    window->installEventFilter(this);
    m_hostView->installEventFilter(this);
    setWindow(window);
    awakeFromNib();
}

TQUtilityWindowController::~TQUtilityWindowController()
{
    delete m_controller.data();
}

void TQUtilityWindowController::setController(TQViewController* controller)
{
    if (controller == m_controller)
        return;
    if (TQViewController* old = m_controller) {
        old->viewWillUninstall();
        old->view()->hide();
        old->view()->setParent(nullptr);
        old->viewDidUninstall();
        old->deleteLater();
    }
    m_controller = controller;
    if (!controller)
        return;
    controller->setParent(this);
    QWidget* view = controller->view();
    view->setParent(m_hostView);
    view->setGeometry(m_hostView->rect());
    view->show();
    controller->viewDidInstall();
}

QRect TQUtilityWindowController::windowWillPositionSheet(QWidget*, const QRect& proposed) const
{
    return proposed.translated(0, kTitlebarHeight - 22);
}

void TQUtilityWindowController::share(QObject* sender)
{
    if (m_controller && m_controller->metaObject()->indexOfMethod("share(QObject*)") >= 0)
        m_controller->share(sender);
}

void TQUtilityWindowController::showWindow(QObject* sender)
{
    if (QWidget* window = this->window()) {
        const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            QRect frame = window->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            window->move(frame.topLeft());
        }
    }
    TQWindowController::showWindow(sender);
}

bool TQUtilityWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_hostView && event->type() == QEvent::Resize && m_controller &&
        m_controller->isViewLoaded())
        m_controller->view()->setGeometry(m_hostView->rect());
    // The window's closing is the end of its controller.
    if (watched == window() && event->type() == QEvent::Close && event->isAccepted())
        deleteLater();
    return TQWindowController::eventFilter(watched, event);
}

} // namespace tavrel
