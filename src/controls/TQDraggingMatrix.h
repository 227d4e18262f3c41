#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

namespace tavrel {

class Cell;

// The drop target inside the contacts list's flyer: one row of cells side by side, one per role,
// separated by short vertical lines. The cell under a drag is highlighted; a drop selects exactly the
// cell it landed on and then hands the drop to the drop delegate (TQDestinationDropDelegate), which
// reads the role from the selected column. Leaving the matrix asks the flyer table to take the flyer
// away unless the drag went back over the drop row.
class TQDraggingMatrix : public QWidget
{
    Q_OBJECT
public:
    explicit TQDraggingMatrix(QWidget* parent = nullptr);
    ~TQDraggingMatrix() override;

    void setCells(const QList<std::shared_ptr<Cell>>& cells);
    QList<std::shared_ptr<Cell>> cells() const { return m_cells; }
    int numberOfColumns() const { return int(m_cells.size()); }
    QRectF frameOfColumn(int column) const;
    // The column under a point, -1 for none.
    int columnAt(const QPointF& point) const;
    int selectedColumn() const { return m_selectedColumn; }
    Cell* selectedCell() const;
    QObject* dropDelegate() const { return m_dropDelegate; }
    void setDropDelegate(QObject* delegate) { m_dropDelegate = delegate; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void highlightColumn(int column);
    void postUninstall(const QVariantMap& userInfo);

    QList<std::shared_ptr<Cell>> m_cells;
    int m_selectedColumn = -1;
    QPointer<QObject> m_dropDelegate;
};

} // namespace tavrel
