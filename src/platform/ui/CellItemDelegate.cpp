#include "platform/ui/CellItemDelegate.h"

#include "platform/ui/CellHost.h"
#include "platform/ui/OnlineFlag.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPainter>

namespace tavrel {

class CellItemDelegate::Host : public CellHost
{
public:
    explicit Host(CellItemDelegate& delegate) : m_delegate(delegate) {}
    QWidget* hostWidget() const override
    {
        return m_delegate.m_view ? m_delegate.m_view->viewport() : nullptr;
    }
    bool hostHasFocus() const override { return m_delegate.m_view && m_delegate.m_view->hasFocus(); }

private:
    CellItemDelegate& m_delegate;
};

CellItemDelegate::CellItemDelegate(QAbstractItemView* view, CellProvider provider)
    : QStyledItemDelegate(view), m_view(view), m_provider(std::move(provider)),
      m_host(std::make_unique<Host>(*this))
{
    view->setItemDelegate(this);
    view->setMouseTracking(true);
    view->viewport()->setMouseTracking(true);
    view->viewport()->installEventFilter(this);
}

CellItemDelegate::~CellItemDelegate() = default;

CellItemDelegate::Press CellItemDelegate::defaultClickPolicy(const QModelIndex&, Cell::HitResults hits)
{
    if (hits == Cell::None)
        return Press::Ignore;
    if (hits & Cell::TrackableArea)
        return (hits & Cell::NoSelect) ? Press::Track : Press::TrackAndSelect;
    if (hits & Cell::NoSelect)
        return Press::Ignore;
    return Press::PassToView;
}

Cell* CellItemDelegate::cellForIndex(const QModelIndex& index) const
{
    if (m_trackingCell && m_trackingIndex.isValid() && m_trackingIndex == index.siblingAtColumn(0))
        return m_trackingCell.get();
    return m_provider && index.isValid() ? m_provider(index) : nullptr;
}

QRectF CellItemDelegate::cellFrame(const QModelIndex& index) const
{
    return m_view ? QRectF(m_view->visualRect(index.siblingAtColumn(0))) : QRectF();
}

Cell::HitResults CellItemDelegate::hitTest(const QModelIndex& index, const QPointF& point) const
{
    Cell* cell = cellForIndex(index);
    return cell ? cell->hitTest(point, cellFrame(index)) : Cell::None;
}

int CellItemDelegate::trackedRow() const
{
    return m_trackingCell && m_trackingIndex.isValid() ? m_trackingIndex.row() : -1;
}

void CellItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    Cell* cell = cellForIndex(index);
    if (!cell) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    cell->setOnline(OnlineFlag::isOnline(m_host->hostWidget()));
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    cell->paint(*painter, QRectF(option.rect), *m_host);
    painter->restore();
}

void CellItemDelegate::paintPrepared(QPainter* painter, const QRect& rect, const QModelIndex& index,
                                     Cell* prepared) const
{
    const bool tracked =
        m_trackingCell && m_trackingIndex.isValid() && m_trackingIndex == index.siblingAtColumn(0);
    Cell* cell = tracked ? m_trackingCell.get() : prepared;
    if (!cell)
        return;
    cell->setOnline(OnlineFlag::isOnline(m_host->hostWidget()));
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    cell->paint(*painter, QRectF(rect), *m_host);
    painter->restore();
}

QSize CellItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    Cell* cell = m_provider && index.isValid() ? m_provider(index) : nullptr;
    if (!cell)
        return QStyledItemDelegate::sizeHint(option, index);
    const QSizeF size = cell->cellSize(QSizeF(option.rect.size()));
    return {qCeil(size.width()), qCeil(size.height())};
}

void CellItemDelegate::updateRow(const QModelIndex& index)
{
    if (!m_view || !index.isValid())
        return;
    const QRect rect = m_view->visualRect(index);
    QWidget* viewport = m_view->viewport();
    viewport->update(QRect(0, rect.top(), viewport->width(), rect.height()));
}

void CellItemDelegate::setHoveredIndex(const QModelIndex& index)
{
    const QModelIndex row = index.isValid() ? index.siblingAtColumn(0) : QModelIndex();
    // The row under the mouse is drawn again at every move: its cells decide hover while drawing.
    updateRow(row);
    if (row == QModelIndex(m_hoveredIndex))
        return;
    const int previous = hoveredRow();
    updateRow(m_hoveredIndex);
    m_hoveredIndex = row;
    emit hoveredRowChanged(hoveredRow(), previous);
}

void CellItemDelegate::select(const QModelIndex& index, Qt::KeyboardModifiers modifiers)
{
    QItemSelectionModel* selection = m_view->selectionModel();
    if (!selection || m_view->selectionMode() == QAbstractItemView::NoSelection)
        return;
    const bool toggle =
        (modifiers & Qt::ControlModifier) && m_view->selectionMode() != QAbstractItemView::SingleSelection;
    const auto command = (toggle ? QItemSelectionModel::Toggle : QItemSelectionModel::ClearAndSelect) |
                         QItemSelectionModel::Rows;
    selection->select(index, command);
    selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

bool CellItemDelegate::handlePress(QMouseEvent* event)
{
    if (m_trackingCell)
        return true; // the second press of a double click while the first one is tracked
    if (event->button() != Qt::LeftButton || !m_provider)
        return false;
    const QModelIndex index = m_view->indexAt(event->position().toPoint());
    Cell* cell = index.isValid() ? m_provider(index) : nullptr;
    if (!cell)
        return false;
    cell->setOnline(OnlineFlag::isOnline(m_host->hostWidget()));
    const QRectF frame = cellFrame(index);
    const Press press = m_clickPolicy ? m_clickPolicy(index, cell->hitTest(event->position(), frame))
                                      : defaultClickPolicy(index, cell->hitTest(event->position(), frame));
    if (press == Press::PassToView)
        return false;
    if (m_view->focusPolicy() & Qt::ClickFocus)
        m_view->setFocus(Qt::MouseFocusReason);
    if (press == Press::Ignore)
        return true;
    if (press == Press::TrackAndSelect)
        select(index, event->modifiers());
    std::unique_ptr<Cell> copy = cell->clone();
    if (copy->mousePressed(CellMouseEvent::from(*event), frame, *m_host)) {
        m_trackingCell = std::move(copy);
        m_trackingIndex = index.siblingAtColumn(0);
        updateRow(m_trackingIndex);
    }
    return true;
}

void CellItemDelegate::endTracking()
{
    const QModelIndex index = m_trackingIndex;
    m_trackingCell.reset();
    m_trackingIndex = QPersistentModelIndex();
    updateRow(index);
}

void CellItemDelegate::cancelTracking()
{
    if (!m_trackingCell)
        return;
    m_trackingCell->cancelTracking(*m_host);
    endTracking();
}

bool CellItemDelegate::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_view || watched != m_view->viewport())
        return QStyledItemDelegate::eventFilter(watched, event);
    // A row that went away while it was tracked ends the tracking without an action.
    if (m_trackingCell && !m_trackingIndex.isValid())
        cancelTracking();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return handlePress(static_cast<QMouseEvent*>(event));
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_trackingCell) {
            if (mouse->buttons() & Qt::LeftButton) {
                m_trackingCell->mouseDragged(CellMouseEvent::from(*mouse), *m_host);
                if (!m_trackingCell->isTracking())
                    endTracking();
            }
            return true;
        }
        setHoveredIndex(m_view->indexAt(mouse->position().toPoint()));
        return false;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!m_trackingCell || mouse->button() != Qt::LeftButton)
            return false;
        std::unique_ptr<Cell> cell = std::move(m_trackingCell);
        const QPersistentModelIndex index = m_trackingIndex;
        m_trackingIndex = QPersistentModelIndex();
        QPointer<CellItemDelegate> guard(this);
        // The action may change the model or close the list's window.
        cell->mouseReleased(CellMouseEvent::from(*mouse), *m_host);
        if (guard)
            updateRow(index);
        return true;
    }
    case QEvent::Leave:
        setHoveredIndex(QModelIndex());
        return false;
    case QEvent::Hide:
        cancelTracking();
        return false;
    default:
        return false;
    }
}

} // namespace tavrel
