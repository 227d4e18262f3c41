#pragma once

#include "controls/TQContactTableCell.h"
#include "controls/TQTableView.h"
#include "controls/TQTableViewDelegate.h"
#include "controls/TQTitledGroupTableCell.h"

#include <QDropEvent>
#include <QObject>
#include <QSet>
#include <QStandardItemModel>
#include <memory>

namespace tavrel::test {

// A list controller for the tables: the methods it has, group rows at the rows given, a contact cell
// (or a header cell) configured per row, and a record of what the table asked and told.
class TableController : public TQTableViewDelegate
{
public:
    bool respondsTo(Method method) const override { return methods & method; }
    bool tableViewIsGroupRow(TQTableView*, int row) override { return groupRows.contains(row); }
    Cell* tableViewDataCell(TQTableView*, int row) override;
    void tableViewWillDisplayMenu(TQTableView*, QMenu*, const QList<int>& rows) override { menuRows = rows; }
    void tableViewDidEndEditingCell(TQTableView*, Cell* cell, const QString& text) override
    {
        renamed.append({cell, text});
    }
    void activateQuickLook(TQTableView*) override { actions.append(QStringLiteral("activateQuickLook:")); }
    void open(TQTableView*) override { actions.append(QStringLiteral("open:")); }
    void deleteEntity(TQTableView*) override { actions.append(QStringLiteral("deleteEntity:")); }
    QWidget* dynamicTableViewViewForRow(TQDynamicTableView* table, int row) override;
    void dynamicTableViewChangedVisibleRows(TQDynamicTableView*, RowRange from, RowRange to) override
    {
        ranges.append({from, to});
    }

    quint32 methods = IsGroupRow | DataCell | WillDisplayMenu | DidEndEditingCell;
    QSet<int> groupRows;
    QSet<int> rowsWithoutView;
    QList<int> cellRows;
    QList<int> viewRows;
    QList<int> menuRows;
    QList<QPair<Cell*, QString>> renamed;
    QStringList actions;
    QList<QPair<RowRange, RowRange>> ranges;
    TQContactTableCell cell;
    TQTitledGroupTableCell header;
};

// A drop delegate that accepts what it is told to, and counts what it was asked.
class DropController : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE bool acceptorCanAcceptDraggingInfo(QObject*, QDropEvent*)
    {
        ++asked;
        return accept;
    }
    Q_INVOKABLE bool acceptorValidateDraggingInfo(QObject*, QDropEvent*) { return validate; }
    Q_INVOKABLE bool acceptorProcessDraggingInfo(QObject*, QDropEvent*)
    {
        ++processed;
        return true;
    }
    bool accept = true;
    bool validate = true;
    int asked = 0;
    int processed = 0;
};

// A model of the number of rows, each titled by its number.
std::unique_ptr<QStandardItemModel> rowsModel(int count);

} // namespace tavrel::test
