#include "platform/ui/CellButton.h"

#include "platform/ui/OnlineFlag.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionFocusRect>

namespace tavrel {

CellButton::CellButton(QWidget* parent) : CellButton(std::make_shared<Cell>(), parent) {}

CellButton::CellButton(std::shared_ptr<Cell> cell, QWidget* parent) : QAbstractButton(parent)
{
    // A click on a button leaves the keyboard focus (and with it the responder chain) where it was.
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
    setCell(std::move(cell));
}

CellButton::~CellButton() = default;

void CellButton::setCell(std::shared_ptr<Cell> cell)
{
    cancelTracking();
    m_cell = cell ? std::move(cell) : std::make_shared<Cell>();
    m_cell->setEnabled(isEnabled());
    setAccessibleName(m_cell->title());
    updateGeometry();
    update();
}

QString CellButton::title() const
{
    return m_cell->title();
}

void CellButton::setTitle(const QString& title)
{
    m_cell->setTitle(title);
    setAccessibleName(title);
    updateGeometry();
    update();
}

int CellButton::state() const
{
    return m_cell->state();
}

void CellButton::setState(int state)
{
    m_cell->setState(state);
    update();
}

void CellButton::performClick()
{
    if (!isEnabled())
        return;
    const std::shared_ptr<Cell> cell = m_cell;
    QPointer<CellButton> guard(this);
    cell->performClick(*this);
    if (guard)
        emit clicked(isChecked());
}

QSize CellButton::sizeHint() const
{
    const QSizeF size = m_cell->cellSize(QSizeF(this->size()));
    return {qMax(1, qCeil(size.width())), qMax(1, qCeil(size.height()))};
}

QSize CellButton::minimumSizeHint() const
{
    return sizeHint();
}

QWidget* CellButton::hostWidget() const
{
    return const_cast<CellButton*>(this);
}

void CellButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const std::shared_ptr<Cell> cell = m_trackingCell ? m_trackingCell : m_cell;
    cell->setOnline(OnlineFlag::isOnline(this));
    cell->paint(painter, QRectF(rect()), *this);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void CellButton::mousePressEvent(QMouseEvent* event)
{
    if (!isEnabled() || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    if (m_trackingCell)
        return; // the press of a double click while the first click is still tracked
    const QRectF frame(rect());
    m_cell->setOnline(OnlineFlag::isOnline(this));
    if (!(m_cell->hitTest(event->position(), frame) & Cell::TrackableArea))
        return;
    const std::shared_ptr<Cell> cell = m_cell;
    cell->setLastFrame(frame);
    if (cell->mousePressed(CellMouseEvent::from(*event), frame, *this))
        m_trackingCell = cell;
}

void CellButton::mouseMoveEvent(QMouseEvent* event)
{
    if (m_trackingCell && (event->buttons() & Qt::LeftButton)) {
        const std::shared_ptr<Cell> cell = m_trackingCell;
        cell->mouseDragged(CellMouseEvent::from(*event), *this);
        if (!cell->isTracking())
            m_trackingCell.reset();
        return;
    }
    m_cell->mouseMoved(event->position(), QRectF(rect()), *this);
}

void CellButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_trackingCell || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    const std::shared_ptr<Cell> cell = std::move(m_trackingCell);
    QPointer<CellButton> guard(this);
    // The action may close the window and delete this button.
    if (cell->mouseReleased(CellMouseEvent::from(*event), *this) && guard)
        emit clicked(isChecked());
    if (guard)
        update();
}

void CellButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

void CellButton::enterEvent(QEnterEvent* event)
{
    QAbstractButton::enterEvent(event);
    if (isEnabled()) {
        m_cell->setHovered(true);
        update();
    }
}

void CellButton::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    if (isEnabled()) {
        m_cell->setHovered(false);
        update();
    }
}

void CellButton::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat())
            performClick();
        event->accept();
        return;
    default:
        QAbstractButton::keyPressEvent(event);
    }
}

void CellButton::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space) {
        event->accept();
        return;
    }
    QAbstractButton::keyReleaseEvent(event);
}

void CellButton::changeEvent(QEvent* event)
{
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled())
            cancelTracking();
        m_cell->setEnabled(isEnabled());
        update();
    }
}

void CellButton::hideEvent(QHideEvent* event)
{
    cancelTracking();
    QAbstractButton::hideEvent(event);
}

bool CellButton::hitButton(const QPoint& position) const
{
    return rect().contains(position);
}

void CellButton::cancelTracking()
{
    if (const std::shared_ptr<Cell> cell = std::move(m_trackingCell))
        cell->cancelTracking(*this);
}

} // namespace tavrel
