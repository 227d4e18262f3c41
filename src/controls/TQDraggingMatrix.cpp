#include "controls/TQDraggingMatrix.h"

#include "controls/TQDestinationDropDelegate.h"
#include "controls/TQFlyerTableView.h"
#include "controls/WidgetCellHost.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/Cell.h"
#include "platform/ui/CellHost.h"
#include "platform/ui/CurrentEvent.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/Drawing.h"

#include <QCursor>
#include <QDropEvent>
#include <QPainter>

namespace tavrel {

TQDraggingMatrix::TQDraggingMatrix(QWidget* parent) : QWidget(parent)
{
    setAcceptDrops(true);
    setAttribute(Qt::WA_TranslucentBackground);
}

TQDraggingMatrix::~TQDraggingMatrix() = default;

void TQDraggingMatrix::setCells(const QList<std::shared_ptr<Cell>>& cells)
{
    m_cells = cells;
    m_selectedColumn = -1;
    update();
}

QRectF TQDraggingMatrix::frameOfColumn(int column) const
{
    if (m_cells.isEmpty())
        return {};
    const qreal width = Drawing::floorf((1.0f / float(m_cells.size())) * float(this->width()));
    return {column * width, 0, width, qreal(height())};
}

int TQDraggingMatrix::columnAt(const QPointF& point) const
{
    for (int column = 0; column < numberOfColumns(); ++column)
        if (frameOfColumn(column).contains(point))
            return column;
    return -1;
}

Cell* TQDraggingMatrix::selectedCell() const
{
    return m_selectedColumn >= 0 && m_selectedColumn < m_cells.size() ? m_cells[m_selectedColumn].get()
                                                                      : nullptr;
}

void TQDraggingMatrix::highlightColumn(int column)
{
    for (int i = 0; i < numberOfColumns(); ++i)
        m_cells[i]->setHighlighted(i == column);
    update();
}

void TQDraggingMatrix::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    WidgetCellHost host(this);
    for (int column = 0; column < numberOfColumns(); ++column)
        m_cells[column]->paint(painter, frameOfColumn(column), host);
    const int n = numberOfColumns();
    if (n == 0)
        return;
    const qreal width = frameOfColumn(0).width();
    QRectF line(0, 8, 1, height() - 16);
    for (int k = 1; k < n; ++k) {
        line.moveLeft(line.left() + width);
        painter.fillRect(line, QColor(0xAA, 0xAA, 0xAA));
    }
}

void TQDraggingMatrix::postUninstall(const QVariantMap& userInfo)
{
    NotificationCenter::defaultCenter().post(TQFlyerTableView::kTQUninstallFlyerNotification,
                                             QVariant::fromValue<QObject*>(parentWidget()), userInfo);
}

void TQDraggingMatrix::dragEnterEvent(QDragEnterEvent* event)
{
    const int column = columnAt(event->position());
    if (column < 0) {
        event->ignore();
        return;
    }
    highlightColumn(column);
    event->setDropAction(TQDestinationDropDelegate::dragOperation(event->mimeData()));
    event->accept();
}

void TQDraggingMatrix::dragMoveEvent(QDragMoveEvent* event)
{
    const int column = columnAt(event->position());
    highlightColumn(column);
    if (column < 0) {
        event->ignore();
        return;
    }
    event->setDropAction(TQDestinationDropDelegate::dragOperation(event->mimeData()));
    event->accept();
}

void TQDraggingMatrix::dragLeaveEvent(QDragLeaveEvent*)
{
    highlightColumn(-1);
    const QPoint location = window()->mapFromGlobal(QCursor::pos());
    postUninstall({{TQFlyerTableView::kDropLocationKey, location}});
    if (CurrentEvent::isCancel())
        NotificationCenter::defaultCenter().post(DragBus::kDragDidCancelNotification);
}

void TQDraggingMatrix::dropEvent(QDropEvent* event)
{
    const int column = columnAt(event->position());
    bool done = TQDestinationDropDelegate::validateDraggingInfo(m_dropDelegate, this, event);
    if (done) {
        if (column >= 0)
            m_selectedColumn = column;
        done = TQDestinationDropDelegate::processDraggingInfo(m_dropDelegate, this, event);
    }
    highlightColumn(-1);
    postUninstall({});
    if (done) {
        event->setDropAction(TQDestinationDropDelegate::dragOperation(event->mimeData()));
        event->accept();
    } else {
        event->ignore();
    }
}

} // namespace tavrel
