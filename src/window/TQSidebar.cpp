#include "window/TQSidebar.h"

#include "controls/TQRadioButtonbarDelegate.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/system/TQLog.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/UserInterfaceItem.h"
#include "session/ApplicationServices.h"
#include "session/ConnectionStatus.h"
#include "window/TQFilterbar.h"

#include <QDragEnterEvent>
#include <QPainter>
#include <QPainterPath>

namespace tavrel {

namespace {
QVariant variantOf(QDropEvent* event)
{
    return QVariant::fromValue(event);
}
QVariant variantOf(QAbstractButton* button)
{
    return QVariant::fromValue(button);
}
} // namespace

TQSidebar::TQSidebar(QWidget* parent) : TQRadioButtonbar(parent)
{
    setAcceptDrops(true);
    setFixedWidth(kWidth);
    m_activator.setSingleShot(true);
    connect(&m_activator, &QTimer::timeout, this, &TQSidebar::itemActivationConfirmed);
}

TQSidebar::~TQSidebar()
{
    m_activator.stop();
}

void TQSidebar::setImagePlaque(QAbstractButton* plaque)
{
    m_imagePlaque = plaque;
    if (plaque) {
        plaque->setParent(this);
        plaque->show();
    }
}

void TQSidebar::awakeFromNib()
{
    const QList<QAbstractButton*> found = TQFilterbar::adoptSwitchButtons(this);
    if (!found.isEmpty())
        setButtons(found);
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(this, ConnectionStatus::kCordelConnectionStatusChanged, QVariant(),
                       [this](const Notification& notification) { onStatusDidChange(notification); });
    center.addObserver(this, DragBus::kDragDidCancelNotification, QVariant(),
                       [this](const Notification& notification) { onDragSessionDidCancel(notification); });
}

void TQSidebar::resizeEvent(QResizeEvent* event)
{
    TQRadioButtonbar::resizeEvent(event);
    layoutButtons();
}

void TQSidebar::layoutButtons()
{
    const QList<QAbstractButton*> all = buttons();
    if (all.isEmpty())
        return;
    if (m_imagePlaque)
        m_imagePlaque->move((width() - m_imagePlaque->width()) / 2, m_imagePlaque->y());
    // Top-down: the first button's top edge 18 below the plaque, then 8 apart.
    int top = (m_imagePlaque ? m_imagePlaque->geometry().bottom() + 1 : 0) + kPlaqueToButtons;
    for (int i = 0; i < all.size(); ++i) {
        all.at(i)->setGeometry((width() - kButtonSize) / 2, top, kButtonSize, kButtonSize);
        if (QWidget* label =
                findChild<QWidget*>(QStringLiteral("modeLabel%1").arg(i + 1), Qt::FindDirectChildrenOnly))
            label->move(label->x(), top + kButtonSize / 2 - label->height() / 2);
        top += kButtonSize + kGap;
    }
}

ConnectionStatus* TQSidebar::connectionStatus() const
{
    return m_connectionStatus ? m_connectionStatus.data()
                              : ApplicationServices::instance()->connectionStatus();
}

bool TQSidebar::drawsOfflineFrame() const
{
    ConnectionStatus* status = connectionStatus();
    return m_imagePlaque && status && !status->isOnline();
}

QRect TQSidebar::offlineFrameRect() const
{
    return m_imagePlaque ? m_imagePlaque->geometry().adjusted(-1, -1, 1, 1) : QRect();
}

void TQSidebar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const float level = 0.14453125f;
    painter.fillRect(rect(), QColor::fromRgbF(level, level, level, 1.0f));
    if (!drawsOfflineFrame())
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(offlineFrameRect()), 4, 4);
    painter.setPen(QPen(QColor::fromRgbF(0.8203125f, 0.05859375f, 0.0390625f, 1.0f), 2));
    painter.drawPath(path);
}

void TQSidebar::onStatusDidChange(const Notification&)
{
    if (m_imagePlaque)
        update(offlineFrameRect().adjusted(-3, -3, 3, 3));
}

void TQSidebar::setHighlighted(QAbstractButton* button, bool highlighted)
{
    auto* cellButton = qobject_cast<CellButton*>(button);
    if (cellButton && cellButton->cell()) {
        cellButton->cell()->setHighlighted(highlighted);
        cellButton->update();
    }
}

void TQSidebar::onDragSessionDidCancel(const Notification&)
{
    if (!m_storredButton)
        return;
    QAbstractButton* stored = m_storredButton;
    m_storredButton = nullptr;
    setHighlighted(stored, false);
    activateButtonAtIndex(indexOfButton(stored));
}

Qt::DropAction TQSidebar::draggingEntered(QDropEvent* event)
{
    TQLog("Sidebar: drag entered");
    const qint64 sequence = qint64(DragBus::sequence(event->mimeData()));
    if (sequence != m_draggingSession) {
        m_draggingSession = sequence;
        m_storredButton = nullptr;
    }
    return draggingUpdated(event);
}

Qt::DropAction TQSidebar::draggingUpdated(QDropEvent* event)
{
    const QPoint point = event->position().toPoint();
    QObject* delegate = this->delegate();
    Qt::DropAction answer = Qt::IgnoreAction;
    bool taken = false;
    for (QAbstractButton* button : buttons()) {
        if (!taken && button->geometry().contains(point)) {
            const auto valid = TQRadioButtonbarDelegate::send(
                delegate, TQRadioButtonbarDelegate::kValidateDraggingInfoSelector,
                {variantOf(event), variantOf(button)});
            if (valid.has_value() && !*valid)
                continue;
            if (UserInterfaceItem::state(button) != 1 && button != m_activatingButton) {
                setHighlighted(button, true);
                m_activatingButton = button;
                const auto autoactivate = TQRadioButtonbarDelegate::send(
                    delegate, TQRadioButtonbarDelegate::kShouldAutoactivateButtonSelector,
                    {variantOf(button), variantOf(event)});
                if (autoactivate.value_or(false))
                    m_activator.start(int(kAutoactivationDelay.milliseconds()));
            }
            answer = DragBus::fileURLs(event->mimeData()).isEmpty() ? Qt::LinkAction : Qt::CopyAction;
            taken = true;
            continue;
        }
        if (button == m_activatingButton)
            cleanupDragging();
        setHighlighted(button, false);
    }
    return answer;
}

void TQSidebar::itemActivationConfirmed()
{
    if (!m_storredButton)
        m_storredButton = activeButton();
    m_activator.stop();
    QAbstractButton* activating = m_activatingButton;
    setHighlighted(activating, false);
    const int index = indexOfButton(activating);
    if (index >= 0)
        activateButtonAtIndex(index);
    m_activatingButton = nullptr;
    TQLog("Sidebar: drop item confirmed");
}

bool TQSidebar::prepareForDragOperation(QDropEvent* event)
{
    const auto valid =
        TQRadioButtonbarDelegate::send(delegate(), TQRadioButtonbarDelegate::kValidateDraggingInfoSelector,
                                       {variantOf(event), variantOf(m_activatingButton.data())});
    return valid.value_or(false);
}

bool TQSidebar::performDragOperation(QDropEvent* event)
{
    const auto performed =
        TQRadioButtonbarDelegate::send(delegate(), TQRadioButtonbarDelegate::kPerformDropSelector,
                                       {variantOf(event), variantOf(m_activatingButton.data())});
    cleanupDragging();
    TQLog("Sidebar: performed drop");
    return performed.value_or(false);
}

void TQSidebar::draggingExited()
{
    cleanupDragging();
    TQLog("Sidebar: drag exited");
}

void TQSidebar::cleanupDragging()
{
    setHighlighted(m_activatingButton, false);
    m_activator.stop();
    m_activatingButton = nullptr;
}

void TQSidebar::dragEnterEvent(QDragEnterEvent* event)
{
    const Qt::DropAction action = draggingEntered(event);
    // Entering is accepted even over no button, so that moves keep arriving.
    event->setDropAction(action == Qt::IgnoreAction ? Qt::CopyAction : action);
    event->accept();
    if (action == Qt::IgnoreAction)
        event->ignore(QRect());
}

void TQSidebar::dragMoveEvent(QDragMoveEvent* event)
{
    const Qt::DropAction action = draggingUpdated(event);
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void TQSidebar::dragLeaveEvent(QDragLeaveEvent*)
{
    draggingExited();
}

void TQSidebar::dropEvent(QDropEvent* event)
{
    if (!prepareForDragOperation(event) || !performDragOperation(event)) {
        cleanupDragging();
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

} // namespace tavrel
