#pragma once

#include "controls/ListRowBehaviour.h"

#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <memory>

namespace tavrel {

class Cell;
class CellItemDelegate;
class TQTableViewDelegate;

// The table of every cell-based list: one column of row cells from its delegate, drawn in the lists'
// palette with a white hovered row, the selection shown only while it has focus, its own grid lines,
// group rows drawn as section headers with the header of the section under the top edge floating
// there, keys for Quick Look, opening and deletion, in-place renaming reported to the delegate, a drop
// frame around the row or the whole table while its drop delegate accepts a drag, and an overlay
// over the hovered row.
class TQTableView : public QTableView
{
    Q_OBJECT
public:
    // Header rows are this high; the strip under the top edge where the floating header sits is one more.
    static constexpr int kGroupHeaderHeight = 23;
    static constexpr int kRowHeight = 48;
    enum DropTarget { DropOnRow = 1, DropOnTable = 0, DropNowhere = -1 };

    explicit TQTableView(QWidget* parent = nullptr);
    ~TQTableView() override;

    TQTableViewDelegate* tableDelegate() const { return m_delegate; }
    void setTableDelegate(TQTableViewDelegate* delegate);
    // The QObject answering the drop questions (TQDestinationDropDelegate).
    QObject* dropDelegate() const { return m_dropDelegate; }
    void setDropDelegate(QObject* delegate) { m_dropDelegate = delegate; }
    CellItemDelegate* cellDelegate() const { return m_cellDelegate; }

    // Row heights: the default, and those the delegate's group rows take.
    void setRowHeight(int height);
    // Group rows get the header height, other rows the default; only the given rows are asked.
    void noteHeightOfRows(const QList<int>& rows);
    bool isGroupRow(int row) const;
    Cell* preparedCell(int row) const;

    bool shouldHighlightSelection() const { return m_rows.shouldHighlightSelection(); }
    void setShouldHighlightSelection(bool highlight) { m_rows.setShouldHighlightSelection(highlight); }
    bool shouldHighlightTrackingRow() const { return m_rows.shouldHighlightTrackingRow(); }
    void setShouldHighlightTrackingRow(bool highlight) { m_rows.setShouldHighlightTrackingRow(highlight); }
    int trackedRow() const { return m_rows.trackedRow(); }
    int lastClickedRow() const { return m_lastClickedRow; }
    int dropTarget() const { return m_dropTarget; }
    void setDropTarget(int target) { m_dropTarget = target; }
    QPoint dropLocation() const { return m_dropLocation; }
    bool hasDraggingProgress() const { return m_hasDraggingProgress; }

    // --- Overlay over the hovered row ---
    void installOverlay(QWidget* overlay);
    void uninstallOverlay();
    bool installedOverlay() const { return m_overlay; }
    QWidget* overlay() const { return m_overlay; }
    int overlayRow() const;

    // --- Rename in place ---
    void editRow(int row);
    bool isEditing() const { return m_editor; }
    QLineEdit* editor() const { return m_editor; }
    // Ends the rename; cancelled ends it without telling the delegate.
    void endEditing(bool cancelled);

    // The visible rows (first, count); the geometry of a row in the viewport.
    QRect rectOfRow(int row) const;
    QPair<int, int> rowsInRect(const QRect& rect) const;
    // The context menu of a row, as a right click there would show it (nullptr for none).
    QMenu* menuForRow(int row);
    // Selects the rows, scrolling one row of a sectioned list just under the floating header.
    void selectRowIndexes(const QList<int>& rows, bool extend);
    void reloadData();

    // The drag the table would start, or nothing (a group row in it).
    bool canDragRows(const QList<int>& rows) const;

    // Typing does not select rows by their text.
    void keyboardSearch(const QString&) override {}
    // A new model or a reset takes the overlay away.
    void reset() override;

signals:
    void hoveredRowChanged(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

    // The drop steps, for subclasses: each answers the operation or whether the step went through.
    virtual Qt::DropAction draggingEntered(QDropEvent* event);
    virtual Qt::DropAction draggingUpdated(QDropEvent* event);
    virtual void draggingExited();
    virtual bool prepareForDragOperation(QDropEvent* event);
    virtual bool performDragOperation(QDropEvent* event);
    virtual void concludeDragOperation();

    // Drawing of one row (its background, its cell or group header, the floating header).
    friend class TQTableRowDelegate;
    void drawRow(QPainter& painter, const QRect& rect, int row);
    void drawGrid(QPainter& painter, const QRect& clip);
    QRect headerStrip(int height) const;
    void setTrackedRow(int row);
    void updateRow(int row);
    bool mouseMoved(const QPoint& point);
    bool mousePressed(QMouseEvent* event);

private:
    TQTableViewDelegate* m_delegate = nullptr;
    QPointer<QObject> m_dropDelegate;
    CellItemDelegate* m_cellDelegate = nullptr;
    ListRowBehaviour m_rows;
    int m_lastClickedRow = -1;
    bool m_hasDraggingProgress = false;
    int m_dropTarget = DropNowhere;
    QPoint m_dropLocation;
    QPointer<QWidget> m_overlay;
    QPointer<QLineEdit> m_editor;
    int m_editingRow = -1;
};

} // namespace tavrel
