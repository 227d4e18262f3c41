#include "controls/TQFlyerTableView.h"

#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/Animations.h"
#include "platform/ui/CurrentEvent.h"

#include <QApplication>
#include <QDropEvent>
#include <QVariantAnimation>

namespace tavrel {

TQFlyerTableView::TQFlyerTableView(QWidget* parent) : TQTableView(parent) {}

TQFlyerTableView::~TQFlyerTableView()
{
    observe(false);
}

void TQFlyerTableView::setFlyer(QWidget* flyer)
{
    m_flyer = flyer;
    if (flyer && flyer->parentWidget() != viewport()) {
        flyer->hide();
        flyer->setParent(nullptr);
    }
}

bool TQFlyerTableView::isFlyerShown() const
{
    return m_flyer && m_flyer->parentWidget();
}

void TQFlyerTableView::observe(bool observing)
{
    if (observing == m_observing)
        return;
    m_observing = observing;
    if (observing) {
        m_observer = NotificationCenter::defaultCenter().addObserver(
            this, kTQUninstallFlyerNotification, QVariant::fromValue<QObject*>(m_flyer.data()),
            [this](const Notification& notification) { onFlyerRequestedUninstall(notification.userInfo()); });
        m_applicationState = connect(qApp, &QGuiApplication::applicationStateChanged, this,
                                     [this](Qt::ApplicationState state) {
                                         if (state != Qt::ApplicationActive)
                                             uninstallFlyer();
                                     });
    } else {
        NotificationCenter::defaultCenter().removeObserver(m_observer);
        disconnect(m_applicationState);
    }
}

void TQFlyerTableView::installFlyer()
{
    if (m_flyer && !m_flyer->parentWidget()) {
        m_flyer->setParent(viewport());
        m_flyer->setGeometry(rectOfRow(m_dropRow));
        Animations::setOpacity(m_flyer, 0);
        m_flyer->show();
        Animations::fade(m_flyer, 1.0, Animations::kShort);
        observe(true);
    }
    viewport()->update();
}

void TQFlyerTableView::uninstallFlyer()
{
    if (!isFlyerShown())
        return;
    observe(false);
    const QPointer<QWidget> flyer = m_flyer;
    auto* fade = Animations::variant(Animations::opacity(flyer), 0.0, Animations::kShort,
                                     Animations::Curve::EaseInOut, this);
    connect(fade, &QVariantAnimation::valueChanged, this, [flyer](const QVariant& value) {
        if (flyer)
            Animations::setOpacity(flyer, value.toDouble());
    });
    // It leaves the table only when the fade has finished.
    connect(fade, &QVariantAnimation::finished, this, [flyer] {
        if (flyer) {
            flyer->hide();
            flyer->setParent(nullptr);
        }
    });
    Animations::start(fade);
    viewport()->update();
}

void TQFlyerTableView::followDrop(QDropEvent*)
{
    const int row = rowAt(viewport()->mapFrom(window(), dropLocation()).y());
    if (row != m_dropRow)
        uninstallFlyer();
    m_dropRow = row;
    installFlyer();
}

Qt::DropAction TQFlyerTableView::draggingEntered(QDropEvent* event)
{
    m_lastDragPosition = event->position().toPoint();
    if (TQTableView::draggingEntered(event) == Qt::IgnoreAction)
        return Qt::IgnoreAction;
    followDrop(event);
    return Qt::IgnoreAction;
}

Qt::DropAction TQFlyerTableView::draggingUpdated(QDropEvent* event)
{
    m_lastDragPosition = event->position().toPoint();
    if (TQTableView::draggingUpdated(event) == Qt::IgnoreAction)
        return Qt::IgnoreAction;
    followDrop(event);
    return Qt::IgnoreAction;
}

void TQFlyerTableView::dragLeaveEvent(QDragLeaveEvent* event)
{
    // Qt tells a drag that leaves no position: the pointer's own tells whether it went onto the flyer.
    m_lastDragPosition = viewport()->mapFromGlobal(QCursor::pos());
    TQTableView::dragLeaveEvent(event);
}

void TQFlyerTableView::draggingExited()
{
    const bool ontoFlyer =
        m_flyer && m_flyer->parentWidget() && m_flyer->geometry().contains(m_lastDragPosition);
    if (!ontoFlyer)
        uninstallFlyer();
    TQTableView::draggingExited();
}

bool TQFlyerTableView::prepareForDragOperation(QDropEvent* event)
{
    uninstallFlyer();
    return TQTableView::prepareForDragOperation(event);
}

void TQFlyerTableView::concludeDragOperation()
{
    uninstallFlyer();
    TQTableView::concludeDragOperation();
}

void TQFlyerTableView::onFlyerRequestedUninstall(const QVariantMap& userInfo)
{
    const QPoint location = userInfo.value(kDropLocationKey).toPoint();
    const int row = rowAt(viewport()->mapFrom(window(), location).y());
    const bool stays = row == m_dropRow && window()->isActiveWindow() && !CurrentEvent::isCancel();
    if (!stays)
        uninstallFlyer();
}

} // namespace tavrel
