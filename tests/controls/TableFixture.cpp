#include "TableFixture.h"

#include "controls/TQDynamicTableView.h"

#include <QLabel>

namespace tavrel::test {

Cell* TableController::tableViewDataCell(TQTableView*, int row)
{
    cellRows.append(row);
    if (groupRows.contains(row)) {
        header.setTitle(QStringLiteral("Group %1").arg(row));
        return &header;
    }
    cell.setTitle(QStringLiteral("Row %1").arg(row));
    return &cell;
}

QWidget* TableController::dynamicTableViewViewForRow(TQDynamicTableView* table, int row)
{
    viewRows.append(row);
    if (rowsWithoutView.contains(row))
        return nullptr;
    auto* label = new QLabel(QString::number(row));
    const QRect rect = table->rectOfRow(row);
    label->setGeometry(rect.right() - 60, rect.top() + 10, 50, 20);
    return label;
}

std::unique_ptr<QStandardItemModel> rowsModel(int count)
{
    auto model = std::make_unique<QStandardItemModel>(count, 1);
    for (int row = 0; row < count; ++row)
        model->setItem(row, 0, new QStandardItem(QString::number(row)));
    return model;
}

} // namespace tavrel::test
