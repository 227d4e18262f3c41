#include "controls/TQDynamicTableView.h"

namespace tavrel {

TQDynamicTableView::TQDynamicTableView(QWidget* parent) : TQTableView(parent) {}

TQDynamicTableView::~TQDynamicTableView() = default;

void TQDynamicTableView::removeCachedViewForRow(int row)
{
    m_viewsNeedUpdate = true;
    const auto found = m_auxiliaryViews.constFind(row);
    if (found == m_auxiliaryViews.constEnd())
        return;
    if (QWidget* view = *found) {
        view->hide();
        view->setParent(nullptr);
        view->deleteLater();
    }
    m_auxiliaryViews.remove(row);
}

void TQDynamicTableView::removeCachedViewsInIndexSet(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    for (const int row : rows)
        removeCachedViewForRow(row);
}

void TQDynamicTableView::removeAllCachedViews()
{
    for (const QPointer<QWidget>& view : std::as_const(m_auxiliaryViews)) {
        if (view) {
            view->hide();
            view->setParent(nullptr);
            view->deleteLater();
        }
    }
    m_auxiliaryViews.clear();
}

void TQDynamicTableView::reloadData()
{
    removeAllCachedViews();
    m_visibleRows = {TQTableViewDelegate::kNotFound, 0};
    TQTableView::reloadData();
}

void TQDynamicTableView::noteHeightOfRowsWithIndexesChanged(const QList<int>& rows)
{
    removeAllCachedViews();
    m_visibleRows = {TQTableViewDelegate::kNotFound, 0};
    noteHeightOfRows(rows);
    viewport()->update();
}

void TQDynamicTableView::reloadDataForRowIndexes(const QList<int>& rows)
{
    removeCachedViewsInIndexSet(rows);
    for (const int row : rows)
        updateRow(row);
}

void TQDynamicTableView::prepareForDrawing()
{
    const auto [first, count] = rowsInRect(viewport()->rect());
    const RowRange now{first, count};
    TQTableViewDelegate* delegate = tableDelegate();
    if (!(now == m_visibleRows)) {
        const RowRange old = m_visibleRows;
        m_visibleRows = now;
        if (delegate && delegate->respondsTo(TQTableViewDelegate::ChangedVisibleRows))
            delegate->dynamicTableViewChangedVisibleRows(this, old, now);
        m_viewsNeedUpdate = true;
    }
    if (!m_viewsNeedUpdate)
        return;
    m_viewsNeedUpdate = false;
    if (!delegate || !delegate->respondsTo(TQTableViewDelegate::ViewForRow))
        return;
    for (qint64 row = m_visibleRows.location; row < m_visibleRows.location + m_visibleRows.length; ++row) {
        if (m_auxiliaryViews.contains(int(row)))
            continue;
        QWidget* view = delegate->dynamicTableViewViewForRow(this, int(row));
        if (view) {
            view->setParent(viewport());
            view->show();
        }
        m_auxiliaryViews.insert(int(row), view);
    }
}

void TQDynamicTableView::paintEvent(QPaintEvent* event)
{
    prepareForDrawing();
    TQTableView::paintEvent(event);
}

void TQDynamicTableView::scrollContentsBy(int dx, int dy)
{
    TQTableView::scrollContentsBy(dx, dy);
    // The row widgets are children of the viewport and scroll with it.
    prepareForDrawing();
}

void TQDynamicTableView::resizeEvent(QResizeEvent* event)
{
    TQTableView::resizeEvent(event);
    prepareForDrawing();
}

} // namespace tavrel
