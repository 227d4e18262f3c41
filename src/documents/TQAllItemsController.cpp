#include "documents/TQAllItemsController.h"

#include "chrome/TQFloatingLabelController.h"
#include "controls/PullToRefreshScrollView.h"
#include "controls/SpinningIndicator.h"
#include "controls/TQBigDocumentTableCell.h"
#include "controls/TQDynamicPhotoSubcell.h"
#include "controls/TQGroupWrapper.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQHoveredPopUpButtonCell.h"
#include "controls/TQLinkTitleSubcell.h"
#include "controls/TQMailToImageTransformer.h"
#include "controls/TQStateItemCell.h"
#include "controls/TQTableView.h"
#include "controls/TQTitledGroupTableCell.h"
#include "documents/TQAllItemsCommands.h"
#include "documents/TQAllItemsDragging.h"
#include "documents/TQAllItemsFilteringViewController.h"
#include "documents/TQAllItemsQuickLook.h"
#include "documents/TQAllItemsRowMenus.h"
#include "documents/TQAllItemsValidation.h"
#include "lists/RowPrototypes.h"
#include "lists/TQTimeGroupedFilesController.h"
#include "model/File.h"
#include "model/GeneralACLPermission.h"
#include "model/Mail.h"
#include "model/TQPreferencesManager.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/CellItemDelegate.h"
#include "platform/ui/CommandValidation.h"
#include "platform/ui/CurrentEvent.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/MethodNames.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"
#include "window/TQMainWindowController.h"
#include "window/TQNavigationController.h"
#include "window/ViewClasses.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QMenu>
#include <QModelRoleDataSpan>
#include <algorithm>

namespace tavrel {

namespace {

const QString kContactViewClass = QStringLiteral("TQContactViewController");

} // namespace

TQAllItemsController::TQAllItemsController(const QString& nibName, QObject* parent)
    : TQFirstLevelViewController(nibName, parent), m_commands(new TQAllItemsCommands(this)),
      m_quickLook(new TQAllItemsQuickLook(this)), m_dragging(new TQAllItemsDragging(this)),
      m_headerCell(std::make_unique<TQTitledGroupTableCell>(QString())),
      m_documentCell(std::make_unique<TQBigDocumentTableCell>(QString()))
{
    if (TQPreferencesManager* preferences = TQPreferencesManager::sharedManager())
        m_hiddenFiles = preferences->hiddenFilesInFolder();
    // Without a session the list stays empty, but it always has its provider.
    setDataProvider(new TQTimeGroupedFilesController(managedObjectContext()));
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(
        this, TQMainWindowController::kFileInFoldersVisibilityNotification, QVariant(),
        [this](const Notification& notification) { onToggleFilesInsideFolders(notification); });
}

TQAllItemsController::~TQAllItemsController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

// --- Set-up ---

QWidget* TQAllItemsController::loadView()
{
    QWidget* view = TQFirstLevelViewController::loadView();
    m_rowMenus = new TQAllItemsRowMenus(this, view);
    // The spinner Quick Look shows over the list while a preview downloads.
    m_quickLookProgress = new SpinningIndicator(view);
    m_quickLookProgress->setObjectName(QStringLiteral("quickLookProgress"));
    m_quickLookProgress->hide();
    return view;
}

QAbstractItemView* TQAllItemsController::makeTable(QWidget* parent)
{
    // The list lies in a scroll view that a pull past its top refreshes.
    auto* pulling = new PullToRefreshScrollView(parent);
    pulling->setObjectName(QStringLiteral("pullToRefresh"));
    pulling->setFrameShape(QFrame::NoFrame);
    auto* table = new TQTableView;
    pulling->setDocumentView(table);
    pulling->setDelegate(this);
    table->setRowHeight(int(TQBigDocumentTableCell::minCellHeight()));
    table->setTableDelegate(this);
    table->setDropDelegate(m_dragging);
    return table;
}

void TQAllItemsController::awakeFromNib()
{
    TQFirstLevelViewController::awakeFromNib();
    StringTable::localizeMenu(m_rowMenus->rowMenu());
    StringTable::localizeMenu(m_rowMenus->permissionMenu());
    TQTableView* list = tableView();
    // The row menu's items follow the rows they are about when it opens, answered from the table on.
    CommandValidation::attachToMenu(m_rowMenus->rowMenu(), list);
    list->setDragEnabled(true);
    list->setAcceptDrops(true);
    connect(list, &QAbstractItemView::doubleClicked, this, [this] { m_commands->executeFile(table()); });
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(
        this, kShowEmailProfileNotification, QVariant(),
        [this](const Notification& notification) { onShowEmailProfileRequested(notification); });
    center.addObserver(this, TQMainWindowController::kNewDocumentCreatedNotification, QVariant(),
                       [this](const Notification& notification) { onNewDocumentCreated(notification); });
}

void TQAllItemsController::viewDidInstall()
{
    TQFirstLevelViewController::viewDidInstall();
    // The commands answer after the list.
    ResponderChain::insertResponder(table(), m_commands);
    if (QItemSelectionModel* selection = table()->selectionModel())
        connect(selection, &QItemSelectionModel::selectionChanged, this,
                &TQAllItemsController::tableViewSelectionDidChange, Qt::UniqueConnection);
}

void TQAllItemsController::viewWillUninstall()
{
    TQFirstLevelViewController::viewWillUninstall();
}

QString TQAllItemsController::noSearchString() const
{
    return StringTable::text(QStringLiteral("NoSearchItems"));
}

Predicate TQAllItemsController::placePredicate() const
{
    return TQAllItemsFilteringViewController::allItemsPredicate(*this);
}

TQAllItemsRowMenus* TQAllItemsController::rowMenus()
{
    view();
    return m_rowMenus;
}

QMenu* TQAllItemsController::rowMenu()
{
    return rowMenus()->rowMenu();
}

TQFloatingLabelController* TQAllItemsController::labelController()
{
    if (!m_labelController) {
        m_labelController = new TQFloatingLabelController(this);
        TQFloatingLabelController::makeWindow(m_labelController, TQFloatingLabelController::kLabelArrow);
    }
    return m_labelController;
}

// --- Content ---

void TQAllItemsController::setSortDescriptor(const std::optional<SortDescriptor>& descriptor)
{
    TQViewController::setSortDescriptor(descriptor);
    changeRequest([this, &descriptor] {
        if (dataProvider())
            dataProvider()->setSortDescriptors(descriptor ? QList<SortDescriptor>{*descriptor}
                                                          : QList<SortDescriptor>{});
    });
}

void TQAllItemsController::changeRequest(const std::function<void()>& change)
{
    // A provider that follows the store fetches for a new request itself: a refresh would fetch the
    // same rows again. The views still follow once, even when the rows stayed (the subtitles follow the
    // sort).
    const bool fetches = dataProvider() && dataProvider()->automaticallyPreparesContent();
    const quint64 viewsBefore = m_viewsRefreshed;
    change();
    if (!isInstalled())
        return;
    if (!fetches)
        refresh();
    else if (m_viewsRefreshed == viewsBefore)
        refreshViews();
}

void TQAllItemsController::setDataProvider(ListModel* provider)
{
    if (provider == dataProvider())
        return;
    TQFirstLevelViewController::setDataProvider(provider);
    if (provider && sortDescriptor())
        provider->setSortDescriptors({*sortDescriptor()});
}

void TQAllItemsController::setSearchString(const QString& searchString)
{
    // The provider's new rows arrive as a change of content, not as a call for a new fetch.
    const bool wasRefreshing = refreshingContent();
    setRefreshingContent(true);
    TQFirstLevelViewController::setSearchString(searchString);
    setRefreshingContent(wasRefreshing);
}

TQTimeGroupedFilesController* TQAllItemsController::groupedProvider() const
{
    return qobject_cast<TQTimeGroupedFilesController*>(dataProvider());
}

void TQAllItemsController::ptrScrollViewDidTriggerRefresh(QObject*)
{
    ResponderChain::send(Commands::fastUpdate, this);
}

// --- Refresh and selection ---

void TQAllItemsController::refresh()
{
    if (!isViewLoaded())
        return;
    setRefreshingContent(true);
    const quint64 viewsBefore = m_viewsRefreshed;
    // Rows just fetched that nothing can have changed since are not fetched again.
    if (dataProvider() && !fetchedRowsAreCurrent())
        dataProvider()->rearrangeObjects();
    // New rows have brought the views up to date already.
    if (m_viewsRefreshed == viewsBefore)
        refreshViews();
    setRefreshingContent(false);
}

void TQAllItemsController::refreshViews()
{
    if (!isViewLoaded())
        return;
    ++m_viewsRefreshed;
    noteHeightOfRows();
    TQFirstLevelViewController::refresh();
}

void TQAllItemsController::arrangedObjectsDidChange()
{
    // The provider holds its new rows already (a change of the store, the filter or the order): only
    // the views follow, fetching them again would give the same rows.
    if (refreshingContent()) {
        const int rows = dataProvider() ? dataProvider()->count() : 0;
        const QList<int> selected = selectedRows();
        if (rows > 1 && (selected.isEmpty() || selected == QList<int>{0}) && isGroupRow(0))
            selectRow(1);
    }
    refreshViews();
}

void TQAllItemsController::noteHeightOfRows()
{
    TQTableView* list = tableView();
    if (!list || !dataProvider() || list->model() != dataProvider())
        return;
    QList<int> rows;
    rows.reserve(dataProvider()->count());
    for (int row = 0; row < dataProvider()->count(); ++row)
        rows.append(row);
    list->noteHeightOfRows(rows);
}

void TQAllItemsController::reactivate()
{
    selectFirstDocumentRow();
    goTop(nullptr);
}

void TQAllItemsController::selectFirstDocumentRow()
{
    const int rows = dataProvider() ? dataProvider()->count() : 0;
    if (rows == 0)
        return;
    selectRow(isGroupRow(0) && rows > 1 ? 1 : 0);
}

// --- Rows ---

ManagedObjectPtr TQAllItemsController::recordAtRow(int row) const
{
    if (!dataProvider() || isGroupRow(row))
        return nullptr;
    return dataProvider()->objectAtRow(row);
}

std::shared_ptr<const TQGroupWrapper> TQAllItemsController::groupAtRow(int row) const
{
    TQTimeGroupedFilesController* grouped = groupedProvider();
    return grouped ? grouped->groupAtRow(row) : nullptr;
}

int TQAllItemsController::rowOfRecord(const ManagedObjectPtr& record) const
{
    return record && dataProvider() ? dataProvider()->rowOfObjectID(record->objectID()) : -1;
}

QList<ManagedObjectPtr> TQAllItemsController::selectedRecords() const
{
    QList<ManagedObjectPtr> records;
    // selectedRows() is in row order.
    for (const int row : selectedRows())
        if (ManagedObjectPtr record = recordAtRow(row))
            records.append(record);
    return records;
}

int TQAllItemsController::clickedRow() const
{
    // The row a click or contextual menu is about, only while that menu is open: a row clicked
    // earlier says nothing about a later command.
    return qobject_cast<QMenu*>(QApplication::activePopupWidget()) ? pressedRow() : -1;
}

int TQAllItemsController::pressedRow() const
{
    TQTableView* table = const_cast<TQAllItemsController*>(this)->tableView();
    const int row = table ? table->lastClickedRow() : -1;
    return row >= 0 && dataProvider() && row < dataProvider()->count() ? row : -1;
}

TQTableView* TQAllItemsController::tableView()
{
    return qobject_cast<TQTableView*>(table());
}

bool TQAllItemsController::isGroupRow(int row) const
{
    TQTimeGroupedFilesController* grouped = groupedProvider();
    return grouped && row >= 0 && row < grouped->count() && grouped->isGroupRow(row);
}

qreal TQAllItemsController::heightOfRow(int row) const
{
    return isGroupRow(row) ? TQTitledGroupTableCell::minCellHeight()
                           : TQBigDocumentTableCell::minCellHeight();
}

bool TQAllItemsController::shouldTrackCellOfRow(int row) const
{
    return !isGroupRow(row);
}

bool TQAllItemsController::shouldEditRow(int row) const
{
    if (isGroupRow(row))
        return false;
    const QEvent::Type type = CurrentEvent::type();
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && CurrentEvent::key() == Qt::Key_Tab)
        return false;
    return true;
}

// --- Table delegate ---

bool TQAllItemsController::respondsTo(Method method) const
{
    switch (method) {
    case IsGroupRow:
    case ShouldSelectRow:
    case DataCell:
    case DidEndEditingCell:
    case Open:
    case DeleteEntity:
    case ActivateQuickLook:
    case WriteRows:
    case DragImage:
        return true;
    default:
        return false;
    }
}

bool TQAllItemsController::tableViewIsGroupRow(TQTableView*, int row)
{
    return isGroupRow(row);
}

bool TQAllItemsController::tableViewShouldSelectRow(TQTableView*, int row)
{
    return !isGroupRow(row);
}

bool TQAllItemsController::tableViewShouldSelectRow(int row)
{
    return TQFirstLevelViewController::tableViewShouldSelectRow(row);
}

Cell* TQAllItemsController::tableViewDataCell(TQTableView*, int row)
{
    return dataCellForRow(row);
}

void TQAllItemsController::open(TQTableView*)
{
    m_commands->executeFile(table());
}

void TQAllItemsController::deleteEntity(TQTableView*)
{
    m_commands->deleteEntity(nullptr);
}

void TQAllItemsController::activateQuickLook(TQTableView*)
{
    m_quickLook->toggleQuickLook();
}

QMimeData* TQAllItemsController::tableViewMimeDataForRows(TQTableView*, const QList<int>& rows)
{
    return m_dragging->mimeDataForRows(rows);
}

QPixmap TQAllItemsController::dragImageForRows(TQTableView*, const QList<int>& rows, QPoint* offset)
{
    return m_dragging->dragImageForRows(rows, offset);
}

void TQAllItemsController::editEntity(QObject* sender)
{
    m_commands->editEntity(sender);
}

void TQAllItemsController::deleteEntity(QObject* sender)
{
    m_commands->deleteEntity(sender);
}

void TQAllItemsController::share(QObject* sender)
{
    m_commands->share(sender);
}

bool TQAllItemsController::validateUserInterfaceItem(QObject* item)
{
    return TQAllItemsValidation::validate(*this, item,
                                          TQFirstLevelViewController::validateUserInterfaceItem(item));
}

void TQAllItemsController::tableViewDidEndEditingCell(TQTableView* list, Cell* cell, const QString& newValue)
{
    ManagedObjectPtr record = cell ? cell->representedObject().value<ManagedObjectPtr>() : nullptr;
    auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
    if (entry && !newValue.isEmpty() && newValue != entry->title())
        m_commands->renameRecord(record, newValue);
    if (list)
        list->setFocus(Qt::OtherFocusReason);
}

void TQAllItemsController::tableViewSelectionDidChange()
{
    const QEvent::Type type = CurrentEvent::type();
    const Qt::MouseButton button = CurrentEvent::button();
    const bool touched = (type == QEvent::MouseButtonRelease && button == Qt::LeftButton) ||
                         (type == QEvent::MouseButtonPress && button == Qt::RightButton) ||
                         type == QEvent::KeyPress;
    if (touched)
        m_commands->toggleNewState(nullptr);
}

// --- Cells ---

Cell* TQAllItemsController::dataCellForRow(int row)
{
    ListModel* provider = dataProvider();
    if (row < 0 || !provider || row >= provider->count())
        return nullptr;
    detachPrototypesFromTracking();
    const QModelIndex index = provider->index(row);
    return isGroupRow(row) ? configureHeaderCell(index) : configureDocumentCell(index);
}

void TQAllItemsController::detachPrototypesFromTracking()
{
    if (!m_tracking.prototypesMustBeRemade(isViewLoaded() ? table() : nullptr))
        return;
    m_headerCell = std::make_unique<TQTitledGroupTableCell>(QString());
    m_documentCell = std::make_unique<TQBigDocumentTableCell>(QString());
    m_photoCells.clear();
}

Cell* TQAllItemsController::configureHeaderCell(const QModelIndex& index)
{
    return RowPrototypes::configureHeader(*m_headerCell, index);
}

Cell* TQAllItemsController::configureDocumentCell(const QModelIndex& index)
{
    enum { Object, Title, Subtitle, Details, People, Access, State, Starred, Link, Thumbnail, Count };
    std::array<QModelRoleData, Count> roles = {
        QModelRoleData(ListModel::ObjectRole),    QModelRoleData(ListModel::TitleRole),
        QModelRoleData(ListModel::SubtitleRole),  QModelRoleData(ListModel::DetailsRole),
        QModelRoleData(ListModel::PeopleRole),    QModelRoleData(ListModel::AccessIndexRole),
        QModelRoleData(ListModel::ItemStateRole), QModelRoleData(ListModel::StarredRole),
        QModelRoleData(ListModel::LinkRole),      QModelRoleData(ListModel::ThumbnailRole)};
    index.model()->multiData(index, roles);
    const ManagedObjectPtr record = roles[Object].data().value<ManagedObjectPtr>();
    if (!record)
        return nullptr;
    TQBigDocumentTableCell& cell = *m_documentCell;
    const int row = index.row();
    const bool fresh = !cell.representedObject().isValid();
    if (fresh) {
        // What every row's cell has alike, set once per prototype.
        cell.setTarget(this);
        cell.setMenu(rowMenu());
        if (const auto& title = cell.titleCell()) {
            title->setHasLink(true);
            title->setAction([this](Cell&) { m_commands->showPreview(hostWidget()); });
        }
        TQHoverdAdaptorButtonCell& share = cell.staticActionCell();
        share.setAction([this](Cell&) { shareOneWith(hostWidget()); });
        cell.moreItemsCell().setAction([this](Cell&) { m_commands->showItemContacts(hostWidget()); });
        cell.setItemPermission(0);
        cell.setItemState(TQStateItemCell::StateNone);
        if (const auto& state = cell.stateCell()) {
            state->setAction([this](Cell&) { m_commands->toggleStarStateOne(hostWidget()); });
        }
        cell.setControlView(table()->viewport());
    }
    TQTimeGroupedFilesController* grouped = groupedProvider();
    cell.setGroup(grouped ? grouped->groupOfRow(row) : nullptr);
    cell.setRepresentedObject(QVariant::fromValue(record));
    cell.setTitle(roles[Title].data().toString());
    cell.setSubtitle(roles[Subtitle].data().toString());
    const QString details = roles[Details].data().toString();
    cell.setDetails(details.isEmpty() ? QString() : details);
    QPixmap picture = roles[Thumbnail].data().value<QPixmap>();
    // A document whose kind has no icon still gets its picture.
    if (picture.isNull())
        picture = ImageRegistry::fileTypeIcon(QString()).pixmap(16, 16);
    cell.setPhoto(picture);
    if (const auto& photo = cell.photoCell())
        photo->setRepresentedObject(QVariant::fromValue(record));

    const int itemState = roles[State].data().toInt();
    cell.setItemState(itemState);
    if (const auto& state = cell.stateCell()) {
        if (itemState == TQStateItemCell::StateNew)
            state->setState(roles[Starred].data().toBool() ? 1 : 0);
        state->setRepresentedObject(QVariant::fromValue(record));
    }
    // The face shows the template's item at the row's index; a press opens the row's own menu.
    if (const auto& popUp = cell.permissionCell())
        popUp->setMenu(rowMenus()->permissionMenu());
    cell.setItemPermission(roles[Access].data().toInt());
    if (const auto& popUp = cell.permissionCell()) {
        // Only the row whose menu is open shows its button pressed.
        popUp->setHighlighted(record == rowMenus()->openVisibilityRecord());
        // The row's visibility menu is made when its button is pressed, for this row.
        const QPersistentModelIndex pressed(index);
        popUp->setMenuProvider([this, pressed]() -> QMenu* {
            const ManagedObjectPtr shown = pressed.data(ListModel::ObjectRole).value<ManagedObjectPtr>();
            return shown ? rowMenus()->visibilityMenu(shown) : nullptr;
        });
    }
    cell.staticActionCell().setRepresentedObject(QVariant::fromValue(record));
    configureSharingCells(cell, row, record, roles[People].data().value<QList<ManagedObjectPtr>>(),
                          roles[Link].data().value<ManagedObjectPtr>());

    TQTableView* list = tableView();
    cell.setShouldHideActionButtons(list && list->overlayRow() == row);
    cell.setShowsEditor(list && list->isEditing() && list->selectionModel() && list->editor() &&
                        list->rowAt(list->editor()->geometry().center().y()) == row);
    return &cell;
}

void TQAllItemsController::configureSharingCells(TQBigDocumentTableCell& cell, int,
                                                 const ManagedObjectPtr& record,
                                                 const QList<ManagedObjectPtr>& people,
                                                 const ManagedObjectPtr& link)
{
    configurePeople(cell, people, link, record);
}

void TQAllItemsController::setCommands(TQAllItemsCommands* commands)
{
    if (!commands || commands == m_commands)
        return;
    delete m_commands;
    m_commands = commands;
}

QWidget* TQAllItemsController::hostWidget()
{
    return table() ? table()->viewport() : nullptr;
}

void TQAllItemsController::configurePeople(TQBigDocumentTableCell& cell,
                                           const QList<ManagedObjectPtr>& people,
                                           const ManagedObjectPtr& link, const ManagedObjectPtr& record)
{
    static const std::shared_ptr<TQMailToImageTransformer> photos = [] {
        auto made = std::make_shared<TQMailToImageTransformer>();
        made->setEdge(kPhotoEdge);
        return made;
    }();
    const bool unwinds = people.size() > 1 || link;
    QList<std::shared_ptr<Cell>> actions;
    actions.reserve(people.size() + 1);
    for (qsizetype i = 0; i < people.size(); ++i) {
        if (i == m_photoCells.size()) {
            auto made = TQDynamicPhotoSubcell::cell();
            made->setLabelKeyPath(QStringLiteral("displayName"));
            made->setTransformer(photos);
            made->setHasLink(true);
            made->setDoubleAction(TQDynamicPhotoSubcell::showEmailProfileAction());
            made->setHasRoundCorners(false);
            m_photoCells.append(made);
        }
        const std::shared_ptr<TQDynamicPhotoSubcell>& photo = m_photoCells.at(i);
        photo->setObject(QVariant::fromValue(people.at(i)));
        photo->setAccompanyObject(QVariant::fromValue(record));
        if (unwinds) {
            photo->setAction([this](Cell&) { unwindPhotos(hostWidget()); });
        } else {
            photo->setAction(TQDynamicPhotoSubcell::showQuickDialogAction());
        }
        actions.append(photo);
    }
    if (const auto acl = std::dynamic_pointer_cast<GeneralACLPermission>(link)) {
        std::shared_ptr<TQHoverdAdaptorButtonCell> button =
            TQHoverdAdaptorButtonCell::linkCellWithPermission(*acl);
        button->setRepresentedObject(QVariant::fromValue(record));
        if (people.isEmpty()) {
            button->setAction(TQHoverdAdaptorButtonCell::showLinkDialogAction());
        } else {
            button->setAction([this](Cell&) { unwindPhotos(hostWidget()); });
        }
        const std::shared_ptr<Mail> owner = std::dynamic_pointer_cast<FileEntryAbstract>(record)->owner();
        const bool ownerLeads = !people.isEmpty() && people.first() == ManagedObjectPtr(owner);
        actions.insert(ownerLeads ? 1 : 0, button);
    }
    cell.setActionCells(actions);
}

// --- Notifications ---

void TQAllItemsController::onToggleFilesInsideFolders(const Notification&)
{
    if (!isInstalled())
        return;
    if (TQPreferencesManager* preferences = TQPreferencesManager::sharedManager())
        m_hiddenFiles = preferences->hiddenFilesInFolder();
    changeRequest([this] { filterDidChange(); });
}

void TQAllItemsController::onShowEmailProfileRequested(const Notification& notification)
{
    TQNavigationController* stack = navigationController();
    if (!stack || !isInstalled())
        return;
    auto* contact = ViewClasses::make<TQViewController>(kContactViewClass);
    if (!contact)
        return;
    QMetaObject::invokeMethod(contact, Methods::setEmail, Q_ARG(QVariant, notification.object()));
    stack->pushController(contact);
}

void TQAllItemsController::onNewDocumentCreated(const Notification& notification)
{
    if (!isInstalled())
        return;
    table()->setFocus(Qt::OtherFocusReason);
    refresh();
    const int row = rowOfRecord(notification.object().value<ManagedObjectPtr>());
    if (row < 0)
        return;
    selectRow(row);
    if (TQTableView* list = tableView())
        list->editRow(row);
}

// --- The people strip ---

void TQAllItemsController::shareOneWith(QObject* sender)
{
    m_commands->shareOneWith(sender);
}

} // namespace tavrel
