#pragma once

#include "controls/TQTableView.h"
#include "controls/TQTableViewDelegate.h"

#include <QHash>

namespace tavrel {

// A list table that can carry one real widget per row, supplied by its delegate with its frame set and
// shown in front of the row. A row's widget is asked for only when the row first becomes visible, and
// is kept (or that the row has none) until a removal, a reload or a change of row heights, so
// scrolling back asks nothing again. Every change of the visible range is told to the delegate.
class TQDynamicTableView : public TQTableView
{
    Q_OBJECT
public:
    using RowRange = TQTableViewDelegate::RowRange;

    explicit TQDynamicTableView(QWidget* parent = nullptr);
    ~TQDynamicTableView() override;

    RowRange visibleRows() const { return m_visibleRows; }
    // The cache: row to widget, nullptr for a row the delegate gave none.
    const QHash<int, QPointer<QWidget>>& auxiliaryViews() const { return m_auxiliaryViews; }

    void removeCachedViewForRow(int row);
    void removeCachedViewsInIndexSet(QList<int> rows);
    void removeAllCachedViews();
    void reloadData();
    void noteHeightOfRowsWithIndexesChanged(const QList<int>& rows);
    void reloadDataForRowIndexes(const QList<int>& rows);

    // The step before every drawing: the visible range and the missing row widgets.
    void prepareForDrawing();

protected:
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    RowRange m_visibleRows;
    QHash<int, QPointer<QWidget>> m_auxiliaryViews;
    bool m_viewsNeedUpdate = false;
};

} // namespace tavrel
