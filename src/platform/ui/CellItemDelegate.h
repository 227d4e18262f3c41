#pragma once

#include "platform/ui/Cell.h"

#include <QAbstractItemView>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>
#include <functional>
#include <memory>

class QMouseEvent;

namespace tavrel {

// The bridge between a list (QListView, QTableView, QTreeView with one column) and the cells that
// draw its rows. The list's controller supplies the cell of a row, configured for that row, just
// before it is drawn or hit; the bridge paints it into the row's rectangle, follows the row under the
// mouse (redrawing the rows it leaves and enters, so cells can decide hover from the current event
// while they draw) and hands a click to the cell when its hit test answers a trackable area: the
// press, moves and release go to a copy of the row's cell, so drawing other rows meanwhile cannot
// disturb it, and that copy draws its row until the release.
//
// What a press does (the click policy, replaceable):
//   - nothing hit (0): consumed, nothing happens;
//   - a trackable area: the cell tracks it; the row is selected unless the answer carries NoSelect;
//   - NoSelect alone: consumed, nothing selected;
//   - anything else: the list handles it (selection, dragging, double click).
class CellItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    // The row's cell, configured for the row; nullptr draws the item as a plain delegate would.
    using CellProvider = std::function<Cell*(const QModelIndex& index)>;

    enum class Press { PassToView, Ignore, Track, TrackAndSelect };
    using ClickPolicy = std::function<Press(const QModelIndex& index, Cell::HitResults hits)>;

    // Installs itself as the view's delegate and watches its viewport.
    CellItemDelegate(QAbstractItemView* view, CellProvider provider);
    ~CellItemDelegate() override;

    QAbstractItemView* view() const { return m_view; }
    void setCellProvider(CellProvider provider) { m_provider = std::move(provider); }
    void setClickPolicy(ClickPolicy policy) { m_clickPolicy = std::move(policy); }
    static Press defaultClickPolicy(const QModelIndex& index, Cell::HitResults hits);

    // The row's cell as the list draws it now (the tracking copy while its row is tracked).
    Cell* cellForIndex(const QModelIndex& index) const;
    // The rectangle of a row's cell in the viewport.
    QRectF cellFrame(const QModelIndex& index) const;
    // The row's cell's hit test at a viewport point.
    Cell::HitResults hitTest(const QModelIndex& index, const QPointF& point) const;

    // The row under the mouse, -1 when none.
    int hoveredRow() const { return m_hoveredIndex.isValid() ? m_hoveredIndex.row() : -1; }
    QModelIndex hoveredIndex() const { return m_hoveredIndex; }
    // The row whose cell tracks the mouse, -1 when none.
    int trackedRow() const;
    Cell* trackingCell() const { return m_trackingCell.get(); }
    void cancelTracking();

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // Paints a row with the cell its list has just configured for it (the tracking copy instead while
    // the row is tracked), without asking for the cell again.
    void paintPrepared(QPainter* painter, const QRect& rect, const QModelIndex& index, Cell* prepared) const;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

signals:
    void hoveredRowChanged(int row, int previousRow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Host;

    void setHoveredIndex(const QModelIndex& index);
    void updateRow(const QModelIndex& index);
    void endTracking();
    bool handlePress(QMouseEvent* event);
    void select(const QModelIndex& index, Qt::KeyboardModifiers modifiers);

    QPointer<QAbstractItemView> m_view;
    CellProvider m_provider;
    ClickPolicy m_clickPolicy;
    std::unique_ptr<Host> m_host;
    QPersistentModelIndex m_hoveredIndex;
    std::unique_ptr<Cell> m_trackingCell;
    QPersistentModelIndex m_trackingIndex;
};

} // namespace tavrel
