#pragma once

#include "controls/ListRowBehaviour.h"

#include <QTreeView>
#include <functional>

namespace tavrel {

class Cell;
class CellItemDelegate;

// The outline counterpart of the list table (collections and the assign-to-collection dialog): a
// white hovered row, the selection drawn as an image only while it has focus (its cells are marked
// selected regardless), grid lines in the palette, group items drawn as headers with the one scrolled
// under the top edge floating there, and a soft shadow band under the last row. No overlay, drops, key
// actions or rename reports.
class TQOutlineView : public QTreeView
{
    Q_OBJECT
public:
    static constexpr int kGroupHeaderHeight = 23;

    // The controller's answers: whether an item is a group item, and the item's configured cell.
    using GroupTest = std::function<bool(const QModelIndex& index)>;
    using CellProvider = std::function<Cell*(const QModelIndex& index)>;

    explicit TQOutlineView(QWidget* parent = nullptr);
    ~TQOutlineView() override;

    void setGroupTest(GroupTest test) { m_groupTest = std::move(test); }
    void setCellProvider(CellProvider provider);
    bool isGroupRow(int row) const;
    bool isGroupIndex(const QModelIndex& index) const;

    bool shouldHighlightSelection() const { return m_rows.shouldHighlightSelection(); }
    void setShouldHighlightSelection(bool highlight) { m_rows.setShouldHighlightSelection(highlight); }
    bool shouldHighlightTrackingRow() const { return m_rows.shouldHighlightTrackingRow(); }
    void setShouldHighlightTrackingRow(bool highlight) { m_rows.setShouldHighlightTrackingRow(highlight); }
    int trackedRow() const { return m_rows.trackedRow(); }
    // The rows as shown (expanded items counted), and the rectangle of one in the viewport.
    int numberOfRows() const;
    QModelIndex itemAtRow(int row) const;
    int rowForItem(const QModelIndex& index) const;
    QRect rectOfRow(int row) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void drawHeader(QPainter& painter, Cell* cell, const QRect& rect, bool topBorder) const;

    GroupTest m_groupTest;
    CellProvider m_provider;
    CellItemDelegate* m_cellDelegate = nullptr;
    ListRowBehaviour m_rows;
};

} // namespace tavrel
