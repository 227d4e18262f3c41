#include "documents/TQAllItemsController.h"

#include "controls/TQTableView.h"
#include "lists/ListModel.h"
#include "platform/ui/StringTable.h"

#include <QApplication>
#include <QMenu>
#include <algorithm>

namespace tavrel {

TQAllItemsController::TQAllItemsController(const QString& nibName, QObject* parent)
    : TQFirstLevelViewController(nibName, parent)
{}

TQAllItemsController::~TQAllItemsController() = default;

void TQAllItemsController::awakeFromNib()
{
    TQFirstLevelViewController::awakeFromNib();
}

void TQAllItemsController::viewDidInstall()
{
    TQFirstLevelViewController::viewDidInstall();
}

void TQAllItemsController::viewWillUninstall()
{
    TQFirstLevelViewController::viewWillUninstall();
}

void TQAllItemsController::reactivate() {}

void TQAllItemsController::refresh()
{
    TQFirstLevelViewController::refresh();
}

QString TQAllItemsController::noSearchString() const
{
    return StringTable::text(QStringLiteral("NoSearchItems"));
}

QMenu* TQAllItemsController::rowMenu()
{
    return m_rowMenu;
}

QMenu* TQAllItemsController::permissionMenu()
{
    return m_permissionMenu;
}

TQFloatingLabelController* TQAllItemsController::labelController()
{
    return m_labelController;
}

void TQAllItemsController::setSortDescriptor(const std::optional<SortDescriptor>& descriptor)
{
    TQFirstLevelViewController::setSortDescriptor(descriptor);
}

void TQAllItemsController::setDataProvider(ListModel* provider)
{
    TQFirstLevelViewController::setDataProvider(provider);
}

void TQAllItemsController::setSearchString(const QString& searchString)
{
    TQFirstLevelViewController::setSearchString(searchString);
}

TQTimeGroupedFilesController* TQAllItemsController::groupedProvider() const
{
    return nullptr;
}

void TQAllItemsController::ptrScrollViewDidTriggerRefresh(QObject*) {}

ManagedObjectPtr TQAllItemsController::recordAtRow(int row) const
{
    return dataProvider() ? dataProvider()->objectAtRow(row) : nullptr;
}

std::shared_ptr<const TQGroupWrapper> TQAllItemsController::groupAtRow(int) const
{
    return nullptr;
}

int TQAllItemsController::rowOfRecord(const ManagedObjectPtr& record) const
{
    return record && dataProvider() ? dataProvider()->rowOfObjectID(record->objectID()) : -1;
}

QList<ManagedObjectPtr> TQAllItemsController::selectedRecords() const
{
    QList<ManagedObjectPtr> records;
    QList<int> rows = selectedRows();
    std::sort(rows.begin(), rows.end());
    for (int row : std::as_const(rows))
        if (ManagedObjectPtr record = recordAtRow(row))
            records.append(record);
    return records;
}

int TQAllItemsController::clickedRow() const
{
    // The row a click or contextual menu is about, only while that menu is open: a row clicked
    // earlier says nothing about a later command.
    auto* self = const_cast<TQAllItemsController*>(this);
    TQTableView* table = self->tableView();
    if (!table || !qobject_cast<QMenu*>(QApplication::activePopupWidget()))
        return -1;
    const int row = table->lastClickedRow();
    return row >= 0 && dataProvider() && row < dataProvider()->count() ? row : -1;
}

TQTableView* TQAllItemsController::tableView()
{
    return qobject_cast<TQTableView*>(table());
}

bool TQAllItemsController::respondsTo(Method) const
{
    return false;
}

bool TQAllItemsController::tableViewIsGroupRow(TQTableView*, int row)
{
    return isGroupRow(row);
}

bool TQAllItemsController::tableViewShouldSelectRow(TQTableView*, int row)
{
    return tableViewShouldSelectRow(row);
}

Cell* TQAllItemsController::tableViewDataCell(TQTableView*, int row)
{
    return dataCellForRow(row);
}

void TQAllItemsController::tableViewDidEndEditingCell(TQTableView*, Cell*, const QString&) {}

void TQAllItemsController::open(TQTableView*) {}

void TQAllItemsController::deleteEntity(TQTableView*) {}

Cell* TQAllItemsController::dataCellForRow(int)
{
    return nullptr;
}

void TQAllItemsController::willDisplayCell(Cell*, int) {}

qreal TQAllItemsController::heightOfRow(int) const
{
    return 0;
}

bool TQAllItemsController::isGroupRow(int) const
{
    return false;
}

bool TQAllItemsController::tableViewShouldSelectRow(int row)
{
    return TQFirstLevelViewController::tableViewShouldSelectRow(row);
}

bool TQAllItemsController::shouldEditRow(int) const
{
    return false;
}

bool TQAllItemsController::shouldTrackCellOfRow(int) const
{
    return false;
}

void TQAllItemsController::tableViewSelectionDidChange() {}
void TQAllItemsController::onFileItemDidUpdate(const Notification&) {}
void TQAllItemsController::onToggleFilesInsideFolders(const Notification&) {}
void TQAllItemsController::onShowEmailProfileRequested(const Notification&) {}
void TQAllItemsController::onNewDocumentCreated(const Notification&) {}
void TQAllItemsController::unwindPhotos(QObject*) {}
void TQAllItemsController::shareOneWith(QObject*) {}

QWidget* TQAllItemsController::loadView()
{
    return TQFirstLevelViewController::loadView();
}

QAbstractItemView* TQAllItemsController::makeTable(QWidget* parent)
{
    return new TQTableView(parent);
}

void TQAllItemsController::arrangedObjectsDidChange() {}

std::shared_ptr<Cell> TQAllItemsController::makeDocumentCell(int, const ManagedObjectPtr&)
{
    return nullptr;
}

QMenu* TQAllItemsController::makePermissionMenu(const ManagedObjectPtr&)
{
    return nullptr;
}

QString TQAllItemsController::subtitleForRecord(const ManagedObjectPtr&,
                                                const std::shared_ptr<const TQGroupWrapper>&) const
{
    return {};
}

void TQAllItemsController::noteHeightOfRows() {}
void TQAllItemsController::selectFirstDocumentRow() {}

} // namespace tavrel
