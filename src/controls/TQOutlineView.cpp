#include "controls/TQOutlineView.h"

#include "controls/SystemColors.h"
#include "controls/TQShadowedCell.h"
#include "controls/TQTitledGroupTableCell.h"
#include "controls/TQUISettings.h"
#include "controls/WidgetCellHost.h"
#include "platform/ui/CellHost.h"
#include "platform/ui/CellItemDelegate.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"

#include <QHeaderView>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace tavrel {

TQOutlineView::TQOutlineView(QWidget* parent)
    : QTreeView(parent), m_rows(this, [this](int row) { return rectOfRow(row); })
{
    header()->hide();
    setUniformRowHeights(false);
    setRootIsDecorated(true);
    setFrameShape(QFrame::NoFrame);
    setSelectionBehavior(SelectRows);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(ScrollPerPixel);
    setDragEnabled(true);
    setMouseTracking(true);
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Base, Drawing::grey(0.98828125));
    viewport()->setPalette(palette);
    viewport()->setAutoFillBackground(true);
    m_cellDelegate = new CellItemDelegate(this, [this](const QModelIndex& index) {
        return m_provider ? m_provider(index.siblingAtColumn(0)) : nullptr;
    });
    viewport()->installEventFilter(this);
}

TQOutlineView::~TQOutlineView() = default;

void TQOutlineView::setCellProvider(CellProvider provider)
{
    m_provider = std::move(provider);
    viewport()->update();
}

bool TQOutlineView::isGroupIndex(const QModelIndex& index) const
{
    return index.isValid() && m_groupTest && m_groupTest(index);
}

bool TQOutlineView::isGroupRow(int row) const
{
    return isGroupIndex(itemAtRow(row));
}

int TQOutlineView::numberOfRows() const
{
    int rows = 0;
    for (QModelIndex index = model() ? model()->index(0, 0, rootIndex()) : QModelIndex(); index.isValid();
         index = indexBelow(index))
        ++rows;
    return rows;
}

QModelIndex TQOutlineView::itemAtRow(int row) const
{
    if (row < 0 || !model())
        return {};
    QModelIndex index = model()->index(0, 0, rootIndex());
    for (int i = 0; i < row && index.isValid(); ++i)
        index = indexBelow(index);
    return index;
}

int TQOutlineView::rowForItem(const QModelIndex& index) const
{
    if (!index.isValid())
        return -1;
    int row = 0;
    for (QModelIndex above = indexAbove(index); above.isValid(); above = indexAbove(above))
        ++row;
    return row;
}

QRect TQOutlineView::rectOfRow(int row) const
{
    const QModelIndex index = itemAtRow(row);
    if (!index.isValid())
        return {};
    const QRect rect = visualRect(index);
    return {0, rect.top(), viewport()->width(), rect.height()};
}

bool TQOutlineView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == viewport()) {
        if (event->type() == QEvent::MouseMove) {
            const QPoint point = static_cast<QMouseEvent*>(event)->position().toPoint();
            const QModelIndex index = indexAt(QPoint(1, point.y()));
            if (index.isValid()) {
                const int row = rowForItem(index);
                // Over a group row the hovered row stays.
                if (row != m_rows.trackedRow() && !isGroupIndex(index))
                    m_rows.setTrackedRow(row);
                m_rows.updateRow(row);
            } else if (m_rows.trackedRow() >= 0) {
                m_rows.setTrackedRow(-1);
            }
        } else if (event->type() == QEvent::Leave) {
            m_rows.setTrackedRow(-1);
        } else if (event->type() == QEvent::MouseButtonPress ||
                   event->type() == QEvent::MouseButtonDblClick) {
            const QPoint point = static_cast<QMouseEvent*>(event)->position().toPoint();
            if (isGroupIndex(indexAt(QPoint(1, point.y()))))
                return true;
        }
    }
    return QTreeView::eventFilter(watched, event);
}

void TQOutlineView::focusInEvent(QFocusEvent* event)
{
    QTreeView::focusInEvent(event);
    viewport()->update();
}

void TQOutlineView::focusOutEvent(QFocusEvent* event)
{
    viewport()->update();
    QTreeView::focusOutEvent(event);
}

void TQOutlineView::drawHeader(QPainter& painter, Cell* cell, const QRect& rect, bool topBorder) const
{
    auto* header = dynamic_cast<TQTitledGroupTableCell*>(cell);
    if (!header)
        return;
    header->setShouldHaveTopBorder(topBorder);
    WidgetCellHost host(viewport());
    header->paint(painter, QRectF(rect), host);
}

void TQOutlineView::drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const
{
    if (!isGroupIndex(index))
        QTreeView::drawBranches(painter, rect, index);
}

void TQOutlineView::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const
{
    const int row = rowForItem(index);
    const QRect rr(0, option.rect.top(), viewport()->width(), option.rect.height());
    const QRect visible = viewport()->rect();
    const bool selected = selectionModel() && selectionModel()->isSelected(index);
    painter->fillRect(rr, Drawing::grey(0.98828125));
    if (m_rows.showsSelected(selected, hasFocus()))
        ImageRegistry::draw(*painter, QStringLiteral("row_background_active"), rr);
    if (m_rows.showsHovered(row, selected))
        painter->fillRect(rr, Qt::white);
    Cell* cell = m_provider ? m_provider(index) : nullptr;
    if (auto* shadowed = dynamic_cast<TQShadowedCell*>(cell))
        shadowed->setSelected(m_rows.showsSelected(selected, true));
    const bool group = isGroupIndex(index);
    if (group && dynamic_cast<TQTitledGroupTableCell*>(cell))
        drawHeader(*painter, cell, rr, rr.top() != visible.top());
    else
        QTreeView::drawRow(painter, option, index);

    // The last row casts a soft band under it.
    if (row == numberOfRows() - 1) {
        const QRectF band(rr.left(), rr.bottom() + 1, rr.width(), 4);
        QColor start = SystemColors::controlShadowColor();
        start.setAlphaF(0.7f);
        QLinearGradient gradient(band.topLeft(), band.bottomLeft());
        gradient.setColorAt(0, start);
        gradient.setColorAt(1, Qt::white);
        painter->fillRect(band, gradient);
    }

    // The floating group header.
    if (!m_rows.touchesHeaderStrip(rr, kGroupHeaderHeight + 1) || !m_groupTest)
        return;
    const int above = ListRowBehaviour::groupRowAbove(row, [this](int at) { return isGroupRow(at); });
    if (above < 0)
        return;
    Cell* headerCell = m_provider ? m_provider(itemAtRow(above)) : nullptr;
    if (!headerCell)
        return;
    m_rows.drawFloatingHeader(*painter, *headerCell,
                              m_rows.floatingHeaderFrame(rr, group, kGroupHeaderHeight));
    if (group)
        drawHeader(*painter, m_provider(index), rr, false);
}

void TQOutlineView::paintEvent(QPaintEvent* event)
{
    QTreeView::paintEvent(event);
    QPainter painter(viewport());
    const QRect clip = event->rect();
    const QRect band(clip.left(), clip.top(), clip.width(), kGroupHeaderHeight);
    for (QModelIndex index = indexAt(QPoint(1, clip.top())); index.isValid(); index = indexBelow(index)) {
        const QRect rect = visualRect(index);
        if (rect.top() > clip.bottom())
            break;
        const QModelIndex next = indexBelow(index);
        if (m_groupTest && (isGroupIndex(index) || isGroupIndex(next)))
            continue;
        const QRectF line(0, Drawing::floorf(rect.bottom() + 1 - 0.5), viewport()->width(), 1);
        if ((m_groupTest && line.intersects(band)) || !line.intersects(clip))
            continue;
        const bool nearSelection =
            selectionModel() &&
            (selectionModel()->isSelected(index) || (next.isValid() && selectionModel()->isSelected(next)));
        painter.fillRect(line, m_rows.gridColor(nearSelection, hasFocus(), Drawing::grey(0.6875),
                                                TQUISettings::gridBackgroundColor()));
    }
}

} // namespace tavrel
