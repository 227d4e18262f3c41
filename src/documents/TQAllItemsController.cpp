#include "documents/TQAllItemsController.h"

#include "chrome/TQFloatingLabelController.h"
#include "controls/SpinningIndicator.h"
#include "controls/TQBigDocumentTableCell.h"
#include "controls/TQBytesToReadableStringTransformer.h"
#include "controls/TQDynamicPhotoSubcell.h"
#include "controls/TQFileItemToImageTransformer.h"
#include "controls/TQGroupWrapper.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQHoveredPopUpButtonCell.h"
#include "controls/TQLinkTitleSubcell.h"
#include "controls/TQMailToImageTransformer.h"
#include "controls/TQPhotoSubcell.h"
#include "controls/TQStateItemCell.h"
#include "controls/TQTableView.h"
#include "controls/TQTitledGroupTableCell.h"
#include "lists/TQTimeGroupedFilesController.h"
#include "model/Category.h"
#include "model/File.h"
#include "model/GDataMail.h"
#include "model/GeneralACLPermission.h"
#include "model/Mail.h"
#include "model/TQPreferencesManager.h"
#include "model/TQUtility.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/CurrentEvent.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"
#include "window/StandardKeys.h"
#include "window/TQMainWindowController.h"
#include "window/TQNavigationController.h"
#include "window/ViewClasses.h"

#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <algorithm>

namespace tavrel {

namespace {

const QString kFileItemToImage = QStringLiteral("FileItemToImage");
const QString kBytesToReadable = QStringLiteral("BytesToReadable");
const QString kContactViewClass = QStringLiteral("TQContactViewController");

// The value transformers the rows use, registered by name once.
void registerTransformers()
{
    static const bool registered = [] {
        ValueTransformer::setValueTransformer(std::make_shared<TQFileItemToImageTransformer>(),
                                              kFileItemToImage);
        ValueTransformer::setValueTransformer(std::make_shared<TQBytesToReadableStringTransformer>(),
                                              kBytesToReadable);
        return true;
    }();
    Q_UNUSED(registered);
}

QString sessionUsername()
{
    TQSession* session = TQSessionManager::sharedManager()->currentSession();
    return session ? session->username() : QString();
}

// The visibility menu's template: the pull-down's own item, then private, link, public, domain with the
// link, domain. The position is the meaning (toggleGenericPermission).
struct PermissionEntry
{
    const char* titleKey;
    const char* image;
};
const PermissionEntry kPermissionEntries[] = {
    {nullptr, "private_regular"},
    {"PrivateGroup", "private_regular"},
    {"AnyoneWithLink", "icon_link_regular"},
    {"PublicOnWeb", "icon_public_regular"},
    {"DomainWithLink", "icon_domain_link_regular"},
    {"AnyoneOnDomain", "icon_domain_regular"},
};

// The row's visibility: none 1; with the link, by default 2, domain 4; without it 3 and 5.
int itemPermissionOf(const FileEntryAbstract& record)
{
    const std::shared_ptr<GeneralACLPermission> acl = record.generalACL();
    if (!acl)
        return 1;
    const bool byDefault = acl->type() == QLatin1String("default");
    if (acl->hasLink().toBool())
        return byDefault ? 2 : 4;
    return byDefault ? 3 : 5;
}

} // namespace

TQAllItemsController::TQAllItemsController(const QString& nibName, QObject* parent)
    : TQFirstLevelViewController(nibName, parent)
{
    registerTransformers();
    if (TQPreferencesManager* preferences = TQPreferencesManager::sharedManager())
        m_hiddenFiles = preferences->hiddenFilesInFolder();
    // Without a session the list stays empty, but it always has its provider.
    setDataProvider(new TQTimeGroupedFilesController(managedObjectContext()));
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(this, kFileItemDidUpdateNotification, QVariant(),
                       [this](const Notification& notification) { onFileItemDidUpdate(notification); });
    center.addObserver(
        this, TQMainWindowController::kFileInFoldersVisibilityNotification, QVariant(),
        [this](const Notification& notification) { onToggleFilesInsideFolders(notification); });
}

TQAllItemsController::~TQAllItemsController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    m_reusedCells.clear();
    for (const QPointer<QMenu>& menu : std::as_const(m_rowPermissionMenus))
        delete menu.data();
}

// --- Set-up ---

QWidget* TQAllItemsController::loadView()
{
    QWidget* view = TQFirstLevelViewController::loadView();
    // The menus of the rows: the items validation reads by tag carry it.
    m_rowMenu = new QMenu(view);
    m_rowMenu->setObjectName(QStringLiteral("rowMenu"));
    auto add = [this](QMenu* menu, const QString& key, const QString& command, int tag = 0) {
        QAction* item = UserInterfaceItem::makeAction(StringTable::text(key), command, menu, tag);
        menu->addAction(item);
        return item;
    };
    add(m_rowMenu, QStringLiteral("MenuOpen"), QStringLiteral("open:"));
    QAction* openWith =
        add(m_rowMenu, QStringLiteral("MenuOpenWith"), QStringLiteral("openWith:"), kOpenWithTag);
    auto* applications = new QMenu(m_rowMenu);
    applications->addAction(UserInterfaceItem::makeAction(StringTable::text(QStringLiteral("OpenInBrowser")),
                                                          QStringLiteral("openInBrowser:"), applications,
                                                          kOpenInBrowserTag));
    applications->addSeparator();
    applications->addAction(UserInterfaceItem::makeAction(
        StringTable::text(QStringLiteral("MenuOtherApplication")), QStringLiteral("chooseApplication:"),
        applications, kOpenWithFixedItemTag));
    openWith->setMenu(applications);
    m_rowMenu->addSeparator();
    add(m_rowMenu, QStringLiteral("Preview"), QStringLiteral("showPreview:"));
    add(m_rowMenu, QStringLiteral("Sharings"), QStringLiteral("showSharingContacts:"));
    add(m_rowMenu, QStringLiteral("Organize"), QStringLiteral("organize:"));
    m_rowMenu->addSeparator();
    add(m_rowMenu, QStringLiteral("MenuAddStar"), QStringLiteral("toggleStarState:"));
    add(m_rowMenu, QStringLiteral("MenuMarkViewed"), QStringLiteral("toggleViewedState:"));
    add(m_rowMenu, QStringLiteral("Rename"), QStringLiteral("rename:"));
    add(m_rowMenu, QStringLiteral("MenuDownload"), QStringLiteral("download:"));
    add(m_rowMenu, QStringLiteral("MenuPrint"), QStringLiteral("printEntity:"));
    QAction* owner =
        add(m_rowMenu, QStringLiteral("ChangeOwner"), QStringLiteral("changeOwnership:"), kChangeOwnerTag);
    owner->setMenu(new QMenu(m_rowMenu));
    m_rowMenu->addSeparator();
    add(m_rowMenu, QStringLiteral("MenuMoveToTrash"), QStringLiteral("deleteEntity:"));
    StandardKeys::showKeys(m_rowMenu);

    m_permissionMenu = new QMenu(view);
    m_permissionMenu->setObjectName(QStringLiteral("permissionMenu"));
    for (const PermissionEntry& entry : kPermissionEntries) {
        const QString title =
            entry.titleKey ? StringTable::text(QString::fromLatin1(entry.titleKey)) : QString();
        QAction* item = UserInterfaceItem::makeAction(title, QStringLiteral("toggleGenericPermission:"),
                                                      m_permissionMenu, 0);
        item->setIcon(QIcon(ImageRegistry::pixmap(QString::fromLatin1(entry.image))));
        m_permissionMenu->addAction(item);
    }

    // The spinner Quick Look shows over the list while a preview downloads.
    m_quickLookProgress = new SpinningIndicator(view);
    m_quickLookProgress->setObjectName(QStringLiteral("quickLookProgress"));
    m_quickLookProgress->hide();
    return view;
}

QAbstractItemView* TQAllItemsController::makeTable(QWidget* parent)
{
    auto* table = new TQTableView(parent);
    table->setRowHeight(int(TQBigDocumentTableCell::minCellHeight()));
    table->setTableDelegate(this);
    return table;
}

void TQAllItemsController::awakeFromNib()
{
    TQFirstLevelViewController::awakeFromNib();
    StringTable::localizeMenu(m_rowMenu);
    StringTable::localizeMenu(m_permissionMenu);
    TQTableView* list = tableView();
    list->setDragEnabled(true);
    list->setAcceptDrops(true);
    connect(list, &QAbstractItemView::doubleClicked, this, [this] { executeFile(table()); });
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

QMenu* TQAllItemsController::rowMenu()
{
    view();
    return m_rowMenu;
}

QMenu* TQAllItemsController::permissionMenu()
{
    view();
    return m_permissionMenu;
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
    ResponderChain::send(QStringLiteral("fastUpdate:"), this);
}

// --- Refresh and selection ---

void TQAllItemsController::refresh()
{
    if (!isViewLoaded())
        return;
    setRefreshingContent(true);
    m_reusedCells.clear();
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
    m_reusedCells.clear();
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
    executeFile(table());
}

void TQAllItemsController::deleteEntity(TQTableView*)
{
    deleteEntity(static_cast<QObject*>(nullptr));
}

void TQAllItemsController::tableViewDidEndEditingCell(TQTableView* list, Cell* cell, const QString& newValue)
{
    ManagedObjectPtr record = cell ? cell->representedObject().value<ManagedObjectPtr>() : nullptr;
    auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
    if (entry && !newValue.isEmpty() && newValue != entry->title())
        renameRecord(record, newValue);
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
        toggleNewState(nullptr);
}

// --- Cells ---

Cell* TQAllItemsController::dataCellForRow(int row)
{
    if (row < 0 || !dataProvider() || row >= dataProvider()->count())
        return nullptr;
    std::shared_ptr<Cell> cell = m_reusedCells.value(row);
    // A header's cell on a row that now holds a document: the rows moved under the cache.
    if (cell && dynamic_cast<TQTitledGroupTableCell*>(cell.get()) && !isGroupRow(row)) {
        m_reusedCells.clear();
        cell.reset();
    }
    if (!cell) {
        if (const std::shared_ptr<const TQGroupWrapper> group = groupAtRow(row)) {
            cell = std::make_shared<TQTitledGroupTableCell>(group->title());
        } else if (ManagedObjectPtr record = dataProvider()->objectAtRow(row)) {
            if (record->isFault())
                fireFaultsAroundRow(row);
            cell = makeDocumentCell(row, record);
        }
        if (!cell)
            return nullptr;
        m_reusedCells.insert(row, cell);
    }
    willDisplayCell(cell.get(), row);
    return cell.get();
}

void TQAllItemsController::fireFaultsAroundRow(int row)
{
    // Loading one record per row, then its people one by one, was most of a page's paint: load the rows
    // that follow (a page and more) in one go, then the records their cells read through to-ones.
    constexpr int kRows = 64;
    ManagedObjectContext* context = dataProvider()->managedObjectContext();
    if (!context)
        return;
    const int end = std::min(dataProvider()->count(), row + kRows);
    QList<ManagedObjectPtr> records;
    QList<ManagedObjectID> ids;
    for (int at = std::max(0, row - kRows / 4); at < end; ++at) {
        if (isGroupRow(at))
            continue;
        if (ManagedObjectPtr record = dataProvider()->objectAtRow(at)) {
            records.append(record);
            if (record->isFault())
                ids.append(record->objectID());
        }
    }
    context->fireFaults(ids);
    QList<ManagedObjectID> related;
    for (const ManagedObjectPtr& record : std::as_const(records)) {
        auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
        if (!entry || entry->isFault())
            continue;
        for (const ManagedObjectPtr& other :
             {ManagedObjectPtr(entry->owner()), ManagedObjectPtr(entry->lastModifiedBy()),
              ManagedObjectPtr(entry->generalACL())})
            if (other && other->isFault())
                related.append(other->objectID());
    }
    context->fireFaults(related);
    // The context holds unchanged records weakly: keep these until the next batch, or they would be
    // gone before their cells are made.
    m_prefetched = std::move(records);
    for (const ManagedObjectID& id : std::as_const(related))
        if (ManagedObjectPtr other = context->objectRegisteredForID(id))
            m_prefetched.append(other);
}

QString TQAllItemsController::subtitleForRecord(const ManagedObjectPtr& record,
                                                const std::shared_ptr<const TQGroupWrapper>& group) const
{
    auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
    if (!entry)
        return {};
    if (sortDescriptor() && sortDescriptor()->key() == QLatin1String("size")) {
        const std::shared_ptr<ValueTransformer> readable =
            ValueTransformer::valueTransformerForName(kBytesToReadable);
        return readable ? readable->transformedValue(entry->quotaBytesUsed()).toString() : QString();
    }
    if (group) {
        QString name;
        if (const std::shared_ptr<Mail> editor = entry->lastModifiedBy()) {
            name = editor->displayName();
            if (name.isEmpty())
                name = editor->address();
            if (!editor->address().isEmpty() && editor->address() == sessionUsername())
                name = StringTable::text(QStringLiteral("OnlyME")).toLower();
        }
        if (name.isEmpty())
            name = StringTable::text(QStringLiteral("UnknownUser"));
        return group->stringRepresentationOfDate(entry->updatedDate()) +
               StringTable::format(QStringLiteral("ByFormat"), name);
    }
    return TQUtility::sharedShortDateFormatter().stringFromDate(entry->updatedDate());
}

std::shared_ptr<Cell> TQAllItemsController::makeDocumentCell(int row, const ManagedObjectPtr& record)
{
    auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
    if (!entry)
        return nullptr;
    auto cell = std::make_shared<TQBigDocumentTableCell>(QString());

    TQTimeGroupedFilesController* grouped = groupedProvider();
    const std::shared_ptr<const TQGroupWrapper> group = grouped ? grouped->groupOfRow(row) : nullptr;
    cell->setGroup(group);

    cell->setSubtitle(subtitleForRecord(record, group));

    cell->setTarget(this);
    if (const auto& title = cell->titleCell()) {
        title->setHasLink(true);
        title->setTarget(this);
        title->setCommand(QStringLiteral("showPreview:"));
    }
    cell->setMenu(rowMenu());
    cell->setRepresentedObject(QVariant::fromValue(record));

    // The people strip: the owner unless it is the user, then editors, viewers and commenters.
    const QString me = sessionUsername();
    QList<std::shared_ptr<Mail>> people;
    const std::shared_ptr<Mail> owner = entry->owner();
    const bool ownerLeads = owner && owner->address() != me;
    if (ownerLeads)
        people.append(owner);
    people += entry->editors();
    people += entry->viewers();
    people += entry->commenters();
    const std::shared_ptr<GeneralACLPermission> acl = entry->generalACL();
    const bool wantsLink = acl && !entry->alternateLink().isEmpty();

    TQHoverdAdaptorButtonCell& share = cell->staticActionCell();
    share.setTarget(this);
    share.setCommand(QStringLiteral("shareOneWith:"));
    share.setRepresentedObject(QVariant::fromValue(record));

    QList<std::shared_ptr<Cell>> actions;
    if (!people.isEmpty()) {
        auto photos = std::make_shared<TQMailToImageTransformer>();
        photos->setEdge(kPhotoEdge);
        const bool unwinds = people.size() > 1 || wantsLink;
        for (const std::shared_ptr<Mail>& person : std::as_const(people)) {
            auto photo = TQDynamicPhotoSubcell::cell();
            photo->setLabelKeyPath(QStringLiteral("displayName"));
            photo->setTransformer(photos);
            photo->setRepresentedObject(QVariant::fromValue(ManagedObjectPtr(person)));
            photo->setObject(QVariant::fromValue(ManagedObjectPtr(person)));
            photo->setAccompanyObject(QVariant::fromValue(record));
            photo->setHasLink(true);
            photo->setDoubleAction(TQDynamicPhotoSubcell::showEmailProfileAction());
            photo->setHasRoundCorners(false);
            if (unwinds) {
                photo->setTarget(this);
                photo->setCommand(QStringLiteral("unwindPhotos:"));
            } else {
                photo->setAction(TQDynamicPhotoSubcell::showQuickDialogAction());
            }
            actions.append(photo);
        }
        cell->moreItemsCell().setCommand(QStringLiteral("showItemContacts:"));
        cell->moreItemsCell().setTarget(this);
    }
    if (wantsLink) {
        std::shared_ptr<TQHoverdAdaptorButtonCell> link =
            TQHoverdAdaptorButtonCell::linkCellWithPermission(*acl);
        link->setRepresentedObject(QVariant::fromValue(record));
        if (people.isEmpty()) {
            link->setAction(TQHoverdAdaptorButtonCell::showLinkDialogAction());
        } else {
            link->setTarget(this);
            link->setCommand(QStringLiteral("unwindPhotos:"));
        }
        actions.insert(ownerLeads ? 1 : 0, link);
    }
    if (!actions.isEmpty())
        cell->setActionCells(actions);
    cell->setItemPermission(0);

    // The visibility menu, without the domain-wide choices for my own document when my account has
    // none and it is not shared with the domain already.
    QMenu* visibility = makePermissionMenu(record);
    const bool mine = owner && owner->address() == me;
    if (mine && !GDataMail::accountSupportsDomainPermissions(owner->address()) &&
        !(acl && acl->type() == QLatin1String("domain"))) {
        const QList<QAction*> items = visibility->actions();
        for (int position = 5; position >= 4 && position < items.size(); --position) {
            visibility->removeAction(items.at(position));
            delete items.at(position);
        }
    }
    if (const auto& popUp = cell->permissionCell())
        popUp->setMenu(visibility);

    if (QPointer<QMenu> old = m_rowPermissionMenus.value(row))
        old->deleteLater();
    m_rowPermissionMenus.insert(row, visibility);
    cell->setControlView(table()->viewport());
    return cell;
}

QMenu* TQAllItemsController::makePermissionMenu(const ManagedObjectPtr& record)
{
    auto* menu = new QMenu(view());
    const QList<QAction*> templates = permissionMenu()->actions();
    for (QAction* entry : templates) {
        QAction* item = UserInterfaceItem::makeAction(
            entry->text(), QStringLiteral("toggleGenericPermission:"), menu, 0, this);
        item->setIcon(entry->icon());
        UserInterfaceItem::setRepresentedObject(item, QVariant::fromValue(record));
        menu->addAction(item);
    }
    return menu;
}

void TQAllItemsController::willDisplayCell(Cell* cell, int row)
{
    if (auto* header = dynamic_cast<TQTitledGroupTableCell*>(cell)) {
        if (const std::shared_ptr<const TQGroupWrapper> group = groupAtRow(row)) {
            header->setRepresentedObject(QVariant::fromValue(group));
            header->setTitle(group->title());
        }
        return;
    }
    auto* document = dynamic_cast<TQBigDocumentTableCell*>(cell);
    if (!document)
        return;
    const ManagedObjectPtr record = document->representedObject().value<ManagedObjectPtr>();
    auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
    if (!entry)
        return;
    // The picture is made once per cell.
    const auto& photo = document->photoCell();
    if (!photo || !photo->representedObject().isValid()) {
        QPixmap picture;
        if (const std::shared_ptr<ValueTransformer> images =
                ValueTransformer::valueTransformerForName(kFileItemToImage))
            picture = images->transformedValue(QVariant::fromValue(record)).value<QPixmap>();
        // A document whose kind has no small icon (a native one) still gets its thumbnail cell.
        if (picture.isNull())
            picture = ImageRegistry::fileTypeIcon(QString()).pixmap(16, 16);
        document->setPhoto(picture);
        // The thumbnail cell draws what its own transformer makes of the record, and follows it.
        if (auto* thumbnail = dynamic_cast<TQDynamicPhotoSubcell*>(document->photoCell().get()))
            thumbnail->setObject(QVariant::fromValue(record));
        else if (const auto& made = document->photoCell())
            made->setRepresentedObject(QVariant::fromValue(record));
    }
    document->setTitle(entry->title());
    QString details;
    if (auto file = std::dynamic_pointer_cast<File>(entry)) {
        QStringList titles;
        for (const std::shared_ptr<Category>& collection : file->categories())
            titles.append(collection->title());
        details = titles.join(QStringLiteral(", "));
    } else if (auto collection = std::dynamic_pointer_cast<Category>(entry)) {
        if (const std::shared_ptr<Category> parent = collection->parent())
            details = parent->title();
    }
    document->setDetails(details.isEmpty() ? QString() : details);

    if (entry->isNew()) {
        document->setItemState(1);
        if (const auto& state = document->stateCell())
            state->setState(entry->isStarred() ? 1 : 0);
    } else if (entry->hasChange()) {
        document->setItemState(2);
    } else {
        document->setItemState(entry->isStarred() ? 4 : 3);
    }
    if (const auto& state = document->stateCell()) {
        state->setTarget(this);
        state->setCommand(QStringLiteral("toggleStarStateOne:"));
        state->setRepresentedObject(QVariant::fromValue(record));
    }
    document->setItemPermission(itemPermissionOf(*entry));

    TQTableView* list = tableView();
    document->setShouldHideActionButtons(list && list->overlayRow() == row);
    document->setShowsEditor(list && list->isEditing() && list->selectionModel() && list->editor() &&
                             list->rowAt(list->editor()->geometry().center().y()) == row);
}

// --- Notifications ---

void TQAllItemsController::onFileItemDidUpdate(const Notification& notification)
{
    const ManagedObjectPtr record = notification.object().value<ManagedObjectPtr>();
    if (!record || !dataProvider())
        return;
    const int row = rowOfRecord(record);
    if (row < 0)
        return;
    m_reusedCells.remove(row);
    if (TQTableView* list = isViewLoaded() ? tableView() : nullptr)
        list->viewport()->update(list->rectOfRow(row));
}

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
    QMetaObject::invokeMethod(contact, "setEmail", Q_ARG(QVariant, notification.object()));
    stack->pushController(contact);
}

void TQAllItemsController::onNewDocumentCreated(const Notification& notification)
{
    if (!isInstalled()) {
        m_reusedCells.clear();
        return;
    }
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

void TQAllItemsController::unwindPhotos(QObject*) {}

void TQAllItemsController::shareOneWith(QObject* sender)
{
    const int row = pressedRow();
    if (row >= 0)
        selectRow(row);
    share(sender);
}

} // namespace tavrel
