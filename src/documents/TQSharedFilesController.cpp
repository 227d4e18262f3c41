#include "documents/TQSharedFilesController.h"

#include "controls/TQDocumentTableCell.h"
#include "controls/TQFileItemToImageTransformer.h"
#include "controls/TQGroupWrapper.h"
#include "controls/TQHoverdButtonCell.h"
#include "controls/TQTableView.h"
#include "controls/TQTitledGroupTableCell.h"
#include "documents/DocumentCommandSupport.h"
#include "documents/TQSharedFilesCommands.h"
#include "documents/TQSharedFilesMenus.h"
#include "lists/QuickSharePresenter.h"
#include "lists/RowPrototypes.h"
#include "lists/TQMailGroupedFilesController.h"
#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "model/SharingRoles.h"
#include "model/TQStringExtensions.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/CellItemDelegate.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"
#include "window/TQNavigationController.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QLocale>
#include <QMenu>
#include <QModelRoleDataSpan>
#include <QScrollBar>

namespace tavrel {

namespace {

// The date as the row's narrow date column holds it: day and month in the locale's order this year,
// the year alone before.
QString numericShortDate(const QDateTime& when)
{
    static const QString dayAndMonth = [] {
        const QString pattern = QLocale().dateFormat(QLocale::ShortFormat);
        const qsizetype day = pattern.indexOf(QLatin1Char('d'));
        const qsizetype month = pattern.indexOf(QLatin1Char('M'));
        return day >= 0 && month >= 0 && month < day ? QStringLiteral("MM/dd") : QStringLiteral("dd/MM");
    }();
    const QDate date = when.toLocalTime().date();
    if (date.year() != QDate::currentDate().year())
        return QString::number(date.year());
    return QLocale().toString(date, dayAndMonth);
}

} // namespace

TQSharedFilesController::TQSharedFilesController(const QString& nibName, QObject* parent)
    : TQTableViewController(nibName, parent), m_commands(new TQSharedFilesCommands(this)),
      m_headerCell(std::make_unique<TQTitledGroupTableCell>(QString())),
      m_documentCell(std::make_unique<TQDocumentTableCell>(QString()))
{
    auto* provider = new TQMailGroupedFilesController(managedObjectContext());
    provider->setSearchFormat(QStringLiteral("title CONTAINS[c] %@"));
    provider->setFilterPredicate(filter());
    setDataProvider(provider);
    // Grouped by owner, the newest first in each group.
    setSortDescriptor(SortDescriptor(QStringLiteral("owner"), false));
}

TQSharedFilesController::~TQSharedFilesController() = default;

TQMailGroupedFilesController* TQSharedFilesController::files() const
{
    return qobject_cast<TQMailGroupedFilesController*>(dataProvider());
}

void TQSharedFilesController::setEmail(const std::shared_ptr<Mail>& email)
{
    m_email = email;
    if (TQMailGroupedFilesController* provider = files()) {
        provider->setEmail(email);
        provider->setFilterPredicate(filter());
    }
    if (isInstalled())
        refresh();
}

void TQSharedFilesController::setEmail(const QVariant& email)
{
    setEmail(std::dynamic_pointer_cast<Mail>(email.value<ManagedObjectPtr>()));
}

Predicate TQSharedFilesController::filter() const
{
    if (!m_email || m_email->address().isEmpty())
        return Predicate::falsePredicate();
    const QString address = m_email->address();
    return Predicate::format(QStringLiteral("owner.address == %@ OR ANY editors.address == %@ OR "
                                            "ANY viewers.address == %@ OR ANY commenters.address == %@"),
                             address, address, address, address);
}

void TQSharedFilesController::setSelectionEnabled(bool enabled)
{
    m_selectionEnabled = enabled;
    if (TQTableView* list = isViewLoaded() ? tableView() : nullptr) {
        list->setShouldHighlightSelection(enabled);
        list->setShouldHighlightTrackingRow(enabled);
    }
}

TQSharedFilesMenus* TQSharedFilesController::menus()
{
    view();
    return m_menus;
}

QMenu* TQSharedFilesController::rowMenu()
{
    return menus()->rowMenu();
}

TQTableView* TQSharedFilesController::tableView()
{
    return qobject_cast<TQTableView*>(table());
}

// --- Set-up ---

QWidget* TQSharedFilesController::loadView()
{
    QWidget* view = TQTableViewController::loadView();
    m_menus = new TQSharedFilesMenus(this, view);
    return view;
}

QAbstractItemView* TQSharedFilesController::makeTable(QWidget* parent)
{
    auto* table = new TQTableView(parent);
    table->setRowHeight(int(TQDocumentTableCell::minCellHeight()));
    table->setTableDelegate(this);
    return table;
}

void TQSharedFilesController::awakeFromNib()
{
    TQTableViewController::awakeFromNib();
    StringTable::localizeMenu(rowMenu());
    setSelectionEnabled(m_selectionEnabled);
    TQTableView* list = tableView();
    connect(list, &QAbstractItemView::doubleClicked, this, [this] { m_commands->open(nullptr); });
    // Scrolling moves the rows away from an open quick-share popover: it lets go of its row.
    connect(list->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        NotificationCenter::defaultCenter().post(
            TQNavigationController::kQuickShareDialogShouldDetachNotification,
            QVariant::fromValue<QObject*>(view()->window()));
    });
}

void TQSharedFilesController::viewDidInstall()
{
    TQTableViewController::viewDidInstall();
    // The commands answer after the list.
    if (!ResponderChain::respondersBehind(table()).contains(m_commands))
        ResponderChain::insertResponder(table(), m_commands);
}

void TQSharedFilesController::viewDidUninstall()
{
    TQTableViewController::viewDidUninstall();
}

void TQSharedFilesController::setSortDescriptor(const std::optional<SortDescriptor>& descriptor)
{
    TQViewController::setSortDescriptor(descriptor);
    if (dataProvider())
        dataProvider()->setSortDescriptors(descriptor ? QList<SortDescriptor>{*descriptor}
                                                      : QList<SortDescriptor>{});
}

QString TQSharedFilesController::noSearchString() const
{
    return StringTable::text(QStringLiteral("NoSearchItems"));
}

void TQSharedFilesController::arrangedObjectsDidChange()
{
    const int rows = dataProvider() ? dataProvider()->count() : 0;
    const QList<int> selected = selectedRows();
    if (rows > 1 && (selected.isEmpty() || selected == QList<int>{0}) && isGroupRow(0))
        selectRow(1);
    refresh();
}

void TQSharedFilesController::refresh()
{
    noteHeightOfRows();
    TQTableViewController::refresh();
}

void TQSharedFilesController::noteHeightOfRows()
{
    TQTableView* list = tableView();
    if (!list || !dataProvider() || list->model() != dataProvider())
        return;
    QList<int> rows;
    for (int row = 0; row < dataProvider()->count(); ++row)
        rows.append(row);
    list->noteHeightOfRows(rows);
}

// --- Rows ---

ManagedObjectPtr TQSharedFilesController::recordAtRow(int row) const
{
    if (!dataProvider() || row < 0 || row >= dataProvider()->count() || isGroupRow(row))
        return nullptr;
    return dataProvider()->objectAtRow(row);
}

int TQSharedFilesController::rowOfRecord(const ManagedObjectPtr& record) const
{
    return record && dataProvider() ? dataProvider()->rowOfObjectID(record->objectID()) : -1;
}

int TQSharedFilesController::selectedRow() const
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return -1;
    auto* self = const_cast<TQSharedFilesController*>(this);
    QAbstractItemView* list = self->isViewLoaded() ? self->table() : nullptr;
    const int current = list && list->selectionModel() ? list->selectionModel()->currentIndex().row() : -1;
    return rows.contains(current) ? current : rows.constLast();
}

ManagedObjectPtr TQSharedFilesController::selectedRecord() const
{
    return recordAtRow(selectedRow());
}

int TQSharedFilesController::clickedRow() const
{
    auto* self = const_cast<TQSharedFilesController*>(this);
    TQTableView* list = self->isViewLoaded() ? self->tableView() : nullptr;
    if (!list || !qobject_cast<QMenu*>(QApplication::activePopupWidget()))
        return -1;
    const int row = list->lastClickedRow();
    return row >= 0 && dataProvider() && row < dataProvider()->count() ? row : -1;
}

bool TQSharedFilesController::isGroupRow(int row) const
{
    const auto* grouped = files();
    return grouped && row >= 0 && row < grouped->count() && grouped->isGroupRow(row);
}

bool TQSharedFilesController::tableViewShouldSelectRow(int row)
{
    return TQTableViewController::tableViewShouldSelectRow(row);
}

// --- Table delegate ---

bool TQSharedFilesController::respondsTo(Method method) const
{
    switch (method) {
    case IsGroupRow:
    case ShouldSelectRow:
    case DataCell:
    case WillDisplayMenu:
    case DidEndEditingCell:
    case Open:
    case DeleteEntity:
        return true;
    default:
        return false;
    }
}

bool TQSharedFilesController::tableViewIsGroupRow(TQTableView*, int row)
{
    return isGroupRow(row);
}

bool TQSharedFilesController::tableViewShouldSelectRow(TQTableView*, int row)
{
    return !isGroupRow(row);
}

Cell* TQSharedFilesController::tableViewDataCell(TQTableView*, int row)
{
    return dataCellForRow(row);
}

void TQSharedFilesController::tableViewWillDisplayMenu(TQTableView*, QMenu* menu, const QList<int>& rows)
{
    m_menus->willDisplayMenu(menu, rows);
}

void TQSharedFilesController::tableViewDidEndEditingCell(TQTableView* list, Cell* cell,
                                                         const QString& newValue)
{
    const ManagedObjectPtr record = cell ? cell->representedObject().value<ManagedObjectPtr>() : nullptr;
    DocumentCommandSupport::renameRecord(this, record, newValue);
    if (list)
        list->setFocus(Qt::OtherFocusReason);
}

void TQSharedFilesController::open(TQTableView*)
{
    m_commands->open(nullptr);
}

void TQSharedFilesController::deleteEntity(TQTableView*)
{
    m_commands->deleteEntity(nullptr);
}

void TQSharedFilesController::deleteEntity(QObject* sender)
{
    m_commands->deleteEntity(sender);
}

void TQSharedFilesController::editEntity(QObject* sender)
{
    m_commands->editEntity(sender);
}

void TQSharedFilesController::share(QObject* sender)
{
    m_commands->share(sender);
}

bool TQSharedFilesController::validateUserInterfaceItem(QObject* item)
{
    return m_menus ? m_menus->validate(item, TQTableViewController::validateUserInterfaceItem(item))
                   : TQTableViewController::validateUserInterfaceItem(item);
}

// --- Cells ---

Cell* TQSharedFilesController::dataCellForRow(int row)
{
    ListModel* provider = dataProvider();
    if (row < 0 || !provider || row >= provider->count())
        return nullptr;
    detachPrototypesFromTracking();
    const QModelIndex index = provider->index(row);
    return isGroupRow(row) ? configureHeaderCell(index) : configureDocumentCell(index);
}

void TQSharedFilesController::detachPrototypesFromTracking()
{
    if (!m_tracking.prototypesMustBeRemade(isViewLoaded() ? table() : nullptr))
        return;
    m_headerCell = std::make_unique<TQTitledGroupTableCell>(QString());
    m_documentCell = std::make_unique<TQDocumentTableCell>(QString());
}

Cell* TQSharedFilesController::configureHeaderCell(const QModelIndex& index)
{
    return RowPrototypes::configureHeader(*m_headerCell, index);
}

Cell* TQSharedFilesController::configureDocumentCell(const QModelIndex& index)
{
    enum { Object, Title, Details, State, Count };
    std::array<QModelRoleData, Count> roles = {
        QModelRoleData(ListModel::ObjectRole), QModelRoleData(ListModel::TitleRole),
        QModelRoleData(ListModel::DetailsRole), QModelRoleData(ListModel::ItemStateRole)};
    index.model()->multiData(index, roles);
    const ManagedObjectPtr record = roles[Object].data().value<ManagedObjectPtr>();
    const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
    if (!entry)
        return nullptr;
    TQDocumentTableCell& cell = *m_documentCell;
    if (!cell.representedObject().isValid()) {
        // What every row's cell has alike, set once per prototype.
        cell.setHasLink(true);
        cell.setMenu(rowMenu());
        cell.setControlView(table()->viewport());
        QPointer<TQSharedFilesCommands> commands(m_commands);
        cell.setLinkAction([commands](Cell&) {
            if (commands)
                commands->clickLink(nullptr);
        });
    }
    cell.setRepresentedObject(QVariant::fromValue(record));
    static const TQFileItemToImageTransformer icons;
    QPixmap icon = icons.transformedValue(QVariant::fromValue(record)).value<QPixmap>();
    // A native document has no file name of its own: the kind's export name gives its icon.
    if (icon.isNull())
        icon = ImageRegistry::fileTypeIcon(
                   TQStringExtensions::exportNameWithResourceId(entry->title(), entry->resourceId()))
                   .pixmap(QSize(TQFileItemToImageTransformer::kIconSize,
                                 TQFileItemToImageTransformer::kIconSize));
    cell.setPhoto(icon);
    if (const auto& photo = cell.photoCell())
        photo->setRepresentedObject(QVariant::fromValue(record));
    cell.setTitle(roles[Title].data().toString());
    const QDateTime updated = entry->updatedDate();
    cell.setDate(updated.isValid() ? numericShortDate(updated) : QString());
    const QString details = roles[Details].data().toString();
    cell.setDetails(details.isEmpty() ? QString() : details);
    cell.setItemState(roles[State].data().toInt());

    const bool sharing = m_sharingEnabled && QuickSharePresenter::sharingViewsExist();
    cell.setAllowedSharings(sharing);
    if (sharing) {
        QPointer<TQSharedFilesController> self(this);
        // A row's buttons act on that row: it becomes the selected row first.
        const auto selectSender = [self](Cell& sender) {
            if (self)
                self->selectRow(self->rowOfRecord(sender.representedObject().value<ManagedObjectPtr>()));
            return bool(self);
        };
        cell.setStateAction([self, selectSender](Cell& sender) {
            if (selectSender(sender))
                self->commands()->toggleStarStateOne(nullptr);
        });
        const QString me = DocumentCommandSupport::username();
        const bool firstShare =
            !SharingRoles::isSharedWithPeople(*entry) && SharingRoles::mayShare(*entry, me);
        cell.setSharingState(firstShare ? TQDocumentTableCell::ShareState
                                        : TQDocumentTableCell::SharingsState);
        cell.setButtonAction([self, selectSender, firstShare](Cell& sender) {
            if (!selectSender(sender))
                return;
            if (firstShare)
                self->commands()->shareOneWith(nullptr);
            else
                self->commands()->shareOne(nullptr);
        });
    } else {
        cell.setStateAction({});
        cell.setButtonAction({});
    }
    TQTableView* list = tableView();
    cell.setShowsEditor(list && list->isEditing() && list->editor() &&
                        list->rowAt(list->editor()->geometry().center().y()) == index.row());
    return &cell;
}

} // namespace tavrel
