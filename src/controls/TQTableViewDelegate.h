#pragma once

#include <QList>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <limits>

class QMenu;
class QMimeData;
class QWidget;

namespace tavrel {

class Cell;
class TQTableView;
class TQDynamicTableView;

// What a list table asks of its controller. Every method is optional: the table sends one only when
// respondsTo() says the controller has it, and otherwise behaves as a plain table (no group rows, no
// key actions, no rename report). Drops are decided by the table's drop delegate
// (TQDestinationDropDelegate), usually the same controller.
class TQTableViewDelegate
{
public:
    enum Method : quint32 {
        IsGroupRow = 1 << 0,
        ShouldSelectRow = 1 << 1,
        DataCell = 1 << 2,
        WillDisplayMenu = 1 << 3,
        DidEndEditingCell = 1 << 4,
        ActivateQuickLook = 1 << 5,
        Open = 1 << 6,
        DeleteEntity = 1 << 7,
        DragImage = 1 << 8,
        ViewForRow = 1 << 9,
        ChangedVisibleRows = 1 << 10,
        WriteRows = 1 << 11,
    };
    // The first and the number of visible rows.
    struct RowRange
    {
        qint64 location = 0;
        qint64 length = 0;
        bool operator==(const RowRange&) const = default;
    };
    static constexpr qint64 kNotFound = std::numeric_limits<qint64>::max();

    virtual ~TQTableViewDelegate() = default;
    virtual bool respondsTo(Method method) const = 0;

    virtual bool tableViewIsGroupRow(TQTableView*, int) { return false; }
    virtual bool tableViewShouldSelectRow(TQTableView*, int) { return true; }
    // The row's cell, configured for the row.
    virtual Cell* tableViewDataCell(TQTableView*, int) { return nullptr; }
    virtual void tableViewWillDisplayMenu(TQTableView*, QMenu*, const QList<int>&) {}
    virtual void tableViewDidEndEditingCell(TQTableView*, Cell*, const QString&) {}
    virtual void activateQuickLook(TQTableView*) {}
    virtual void open(TQTableView*) {}
    virtual void deleteEntity(TQTableView*) {}
    virtual QPixmap dragImageForRows(TQTableView*, const QList<int>&, QPoint*) { return {}; }
    // What a drag of the rows carries (the table owns it); none starts no drag.
    virtual QMimeData* tableViewMimeDataForRows(TQTableView*, const QList<int>&) { return nullptr; }
    // The dynamic table's row widgets: nullptr for none; the widget comes with its frame set.
    virtual QWidget* dynamicTableViewViewForRow(TQDynamicTableView*, int) { return nullptr; }
    virtual void dynamicTableViewChangedVisibleRows(TQDynamicTableView*, RowRange, RowRange) {}
};

} // namespace tavrel
