#include "contacts/TQAllContactsController.h"

#include "contacts/ContactVCards.h"
#include "contacts/TQAlphaGroupedContactsController.h"
#include "controls/TQDraggingMatrix.h"
#include "controls/TQFlyerTableView.h"
#include "controls/TQHostView.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQLinkTitleSubcell.h"
#include "controls/TQSimpleBigContactTableCell.h"
#include "controls/TQTitledGroupTableCell.h"
#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "model/TQACLEntry.h"
#include "model/TQUtility.h"
#include "platform/system/DMTracker.h"
#include "platform/system/TQLog.h"
#include "platform/ui/CellItemDelegate.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "window/ActionRequests.h"
#include "window/TQMainWindowController.h"
#include "window/TQNavigationController.h"
#include "window/ViewClasses.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMimeData>
#include <QModelRoleDataSpan>
#include <QPointer>

namespace tavrel {

namespace {

QString identifier(const char* verb)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(verb)).arg(ActionRequests::uniqueNumber());
}

void trackMenuEvent(QObject* sender, const QString& selector)
{
    if (qobject_cast<QAction*>(sender))
        DMTracker::defaultTracker()->trackEventInCategory(QStringLiteral("Action"),
                                                          QStringLiteral("ContextualMenu"), selector);
}

QVariantList mailValues(const QList<std::shared_ptr<Mail>>& mails)
{
    QVariantList values;
    for (const auto& mail : mails)
        values.append(QVariant::fromValue(ManagedObjectPtr(mail)));
    return values;
}

std::shared_ptr<Cell> flyerCell(const QString& key)
{
    auto cell = std::make_shared<Cell>(StringTable::text(key));
    cell->setFont(Drawing::font(11, QFont::Bold));
    return cell;
}

} // namespace

TQAllContactsController::TQAllContactsController(const QString& nibName, QObject* parent)
    : TQFirstLevelViewController(nibName, parent),
      m_headerCell(std::make_unique<TQTitledGroupTableCell>(QString()))
{
    setTitle(StringTable::text(QStringLiteral("AllContactsBack")));
    setDataProvider(new TQAlphaGroupedContactsController(managedObjectContext()));
}

TQAllContactsController::~TQAllContactsController() = default;

TQAlphaGroupedContactsController* TQAllContactsController::contacts() const
{
    return qobject_cast<TQAlphaGroupedContactsController*>(dataProvider());
}

QString TQAllContactsController::noSearchString() const
{
    return StringTable::text(QStringLiteral("NoSearchContacts"));
}

// --- Set-up ---

QWidget* TQAllContactsController::loadView()
{
    QWidget* view = TQFirstLevelViewController::loadView();
    m_rowMenu = new QMenu(view);
    m_rowMenu->setObjectName(QStringLiteral("rowMenu"));
    const auto add = [this](const char* key, QLatin1String command) {
        m_rowMenu->addAction(
            UserInterfaceItem::makeAction(StringTable::text(QLatin1String(key)), command, m_rowMenu));
    };
    add("ShowProfile", Commands::showProfile);
    add("AddToFavorites", Commands::toggleFavoriteState);
    m_rowMenu->addSeparator();
    add("EditContact", Commands::editContact);
    add("ExportVCard", Commands::exportTovCard);
    m_rowMenu->addSeparator();
    add("HideContact", Commands::deleteContact);
    return view;
}

QAbstractItemView* TQAllContactsController::makeTable(QWidget* parent)
{
    auto* table = new TQFlyerTableView(parent);
    table->setObjectName(QStringLiteral("contactsTable"));
    table->setRowHeight(int(TQBigContactTableCell::minCellHeight()));
    table->setTableDelegate(this);
    table->setDropDelegate(this);
    table->setDropTarget(-1);
    table->setAcceptDrops(true);
    // People drag out as vCard files.
    table->setDragEnabled(true);
    m_flyer = new TQHostView;
    m_flyer->setObjectName(QStringLiteral("permissionFlyer"));
    m_flyer->setBackgroundColor(QColor(0xF7, 0xF7, 0xF7));
    m_matrix = new TQDraggingMatrix(m_flyer);
    m_matrix->setDropDelegate(this);
    m_matrix->setAcceptDrops(true);
    m_matrix->setCells({flyerCell(QStringLiteral("CanEdit")), flyerCell(QStringLiteral("CanView"))});
    table->setFlyer(m_flyer);
    // The flyer is a window of its own, not the table's child: it goes with the table.
    QObject::connect(table, &QObject::destroyed,
                     [flyer = QPointer<TQHostView>(m_flyer)] { delete flyer.data(); });
    return table;
}

void TQAllContactsController::awakeFromNib()
{
    TQFirstLevelViewController::awakeFromNib();
    StringTable::localizeMenu(m_rowMenu);
    connect(table(), &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (mailAtRow(index.row()))
            showProfile(nullptr);
    });
    if (TQAlphaGroupedContactsController* provider = contacts())
        provider->setGroupping(!m_disableGroupping);
    setSortDescriptor(SortDescriptor(QStringLiteral("displayName"), true,
                                     SortDescriptor::Comparison::LocalizedCaseInsensitive));
}

void TQAllContactsController::viewDidInstall()
{
    // A list that is not in a view tree yet installs when it is.
    if (!view()->parentWidget())
        return;
    TQFirstLevelViewController::viewDidInstall();
}

void TQAllContactsController::viewWillUninstall()
{
    TQFirstLevelViewController::viewWillUninstall();
}

void TQAllContactsController::setSortDescriptor(const std::optional<SortDescriptor>& descriptor)
{
    TQFirstLevelViewController::setSortDescriptor(descriptor);
    if (!dataProvider())
        return;
    // The address settles people of one name, so the order never depends on the store's whim.
    QList<SortDescriptor> descriptors;
    if (descriptor)
        descriptors = {*descriptor, SortDescriptor(QStringLiteral("address"), true,
                                                   SortDescriptor::Comparison::CaseInsensitive)};
    dataProvider()->setSortDescriptors(descriptors);
}

void TQAllContactsController::setSearchString(const QString& searchString)
{
    TQFirstLevelViewController::setSearchString(searchString);
    if (isInstalled())
        refresh();
}

void TQAllContactsController::refresh()
{
    if (!isViewLoaded())
        return;
    if (dataProvider() && !fetchedRowsAreCurrent())
        dataProvider()->rearrangeObjects();
    noteHeightOfRows();
    TQFirstLevelViewController::refresh();
    // A list shown with nothing selected starts on its first person, header or not.
    if (isInstalled() && selectedRows().isEmpty() && table()->model() == dataProvider())
        selectFirstContactRow();
}

void TQAllContactsController::arrangedObjectsDidChange()
{
    const int rows = dataProvider() ? dataProvider()->count() : 0;
    const QList<int> selected = selectedRows();
    if (rows > 1 && (selected.isEmpty() || selected == QList<int>{0}) && isGroupRow(0))
        selectRow(1);
    noteHeightOfRows();
    TQFirstLevelViewController::refresh();
}

void TQAllContactsController::noteHeightOfRows()
{
    TQFlyerTableView* list = flyerTable();
    if (!list || !dataProvider() || list->model() != dataProvider())
        return;
    QList<int> rows;
    for (int row = 0; row < dataProvider()->count(); ++row)
        rows.append(row);
    list->noteHeightOfRows(rows);
}

void TQAllContactsController::reactivate()
{
    selectFirstContactRow();
    goTop(nullptr);
}

void TQAllContactsController::selectFirstContactRow()
{
    const int rows = dataProvider() ? dataProvider()->count() : 0;
    if (rows > 0)
        selectRow(isGroupRow(0) && rows > 1 ? 1 : 0);
}

TQFlyerTableView* TQAllContactsController::flyerTable()
{
    return qobject_cast<TQFlyerTableView*>(table());
}

QMenu* TQAllContactsController::rowMenu()
{
    view();
    return m_rowMenu;
}

// --- Rows ---

std::shared_ptr<Mail> TQAllContactsController::mailAtRow(int row) const
{
    TQAlphaGroupedContactsController* provider = contacts();
    return provider ? provider->mailAtRow(row) : nullptr;
}

bool TQAllContactsController::isGroupRow(int row) const
{
    TQAlphaGroupedContactsController* provider = contacts();
    return provider && provider->isGroupRow(row);
}

int TQAllContactsController::clickedRow() const
{
    if (!qobject_cast<QMenu*>(QApplication::activePopupWidget()))
        return -1;
    auto* list = qobject_cast<TQTableView*>(const_cast<TQAllContactsController*>(this)->table());
    const int row = list ? list->lastClickedRow() : -1;
    return mailAtRow(row) ? row : -1;
}

QList<std::shared_ptr<Mail>> TQAllContactsController::selectedMails() const
{
    QList<std::shared_ptr<Mail>> mails;
    for (const int row : selectedRows())
        if (auto mail = mailAtRow(row))
            mails.append(mail);
    return mails;
}

QList<std::shared_ptr<Mail>> TQAllContactsController::clickedOrSelectedMails() const
{
    const int clicked = clickedRow();
    if (clicked >= 0)
        return {mailAtRow(clicked)};
    return selectedMails();
}

bool TQAllContactsController::tableViewShouldSelectRow(int row)
{
    return !isGroupRow(row) && TQFirstLevelViewController::tableViewShouldSelectRow(row);
}

// --- Table delegate ---

bool TQAllContactsController::respondsTo(Method method) const
{
    switch (method) {
    case IsGroupRow:
    case ShouldSelectRow:
    case DataCell:
    case Open:
    case DeleteEntity:
        return true;
    default:
        return false;
    }
}

bool TQAllContactsController::tableViewIsGroupRow(TQTableView*, int row)
{
    return isGroupRow(row);
}

bool TQAllContactsController::tableViewShouldSelectRow(TQTableView*, int row)
{
    return !isGroupRow(row);
}

Cell* TQAllContactsController::tableViewDataCell(TQTableView*, int row)
{
    return dataCellForRow(row);
}

void TQAllContactsController::open(TQTableView*)
{
    showProfile(nullptr);
}

void TQAllContactsController::deleteEntity(TQTableView*)
{
    deleteEntity(static_cast<QObject*>(nullptr));
}

// --- Cells ---

Cell* TQAllContactsController::dataCellForRow(int row)
{
    ListModel* provider = dataProvider();
    if (row < 0 || !provider || row >= provider->count())
        return nullptr;
    detachPrototypesFromTracking();
    const QModelIndex index = provider->index(row);
    return isGroupRow(row) ? configureHeaderCell(index) : configureContactCell(index);
}

void TQAllContactsController::detachPrototypesFromTracking()
{
    // The table tracks a press on a copy of a row's cell, which shares the prototype's subcells.
    auto* list = isViewLoaded() ? qobject_cast<TQTableView*>(table()) : nullptr;
    const Cell* tracking = list && list->cellDelegate() ? list->cellDelegate()->trackingCell() : nullptr;
    if (!tracking)
        m_detachedFor = nullptr;
    if (!tracking || tracking == m_detachedFor)
        return;
    m_detachedFor = tracking;
    m_headerCell = std::make_unique<TQTitledGroupTableCell>(QString());
    m_contactCell.reset();
}

Cell* TQAllContactsController::configureHeaderCell(const QModelIndex& index)
{
    m_headerCell->setTitle(index.data(ListModel::TitleRole).toString());
    return m_headerCell.get();
}

Cell* TQAllContactsController::configureContactCell(const QModelIndex& index)
{
    enum { Object, Title, Subtitle, Count, Photo, Size };
    std::array<QModelRoleData, Size> roles = {
        QModelRoleData(ListModel::ObjectRole), QModelRoleData(ListModel::TitleRole),
        QModelRoleData(ListModel::SubtitleRole),
        QModelRoleData(TQAlphaGroupedContactsController::SharedCountRole),
        QModelRoleData(ListModel::ThumbnailRole)};
    index.model()->multiData(index, roles);
    const ManagedObjectPtr record = roles[Object].data().value<ManagedObjectPtr>();
    if (!record)
        return nullptr;
    if (!m_contactCell) {
        // What every row's cell has alike, set once per prototype.
        if (rowsLayout() == 0)
            m_contactCell = std::make_unique<TQSimpleBigContactTableCell>(QString());
        else
            m_contactCell = std::make_unique<TQBigContactTableCell>(QString());
        TQBigContactTableCell& cell = *m_contactCell;
        cell.setTarget(this);
        cell.setMenu(rowMenu());
        if (const auto& title = cell.titleCell()) {
            title->setHasLink(true);
            title->setTarget(this);
            title->setCommand(Commands::showProfile);
        }
        cell.moreItemsCell().setTarget(this);
        cell.moreItemsCell().setCommand(Commands::showProfile);
        if (const auto& photo = cell.photoCell()) {
            photo->setTarget(this);
            photo->setDoubleCommand(Commands::showProfile);
        }
        cell.setControlView(table()->viewport());
    }
    TQBigContactTableCell& cell = *m_contactCell;
    cell.setRepresentedObject(QVariant::fromValue(record));
    cell.setTitle(roles[Title].data().toString());
    cell.setSubtitle(roles[Subtitle].data().toString());
    cell.setPhoto(roles[Photo].data().value<QPixmap>());
    const int shared = roles[Count].data().toInt();
    if (auto* simple = dynamic_cast<TQSimpleBigContactTableCell*>(&cell)) {
        simple->setSharedItemsCount(shared);
    } else {
        cell.setShouldAlwaysShowMoreItems(shared > 0);
        cell.moreItemsCell().setTitle(shared == 1
                                          ? StringTable::text(QStringLiteral("OneSharedItem"))
                                          : StringTable::format(QStringLiteral("SharedItems"), shared));
    }
    return &cell;
}

// --- Commands ---

void TQAllContactsController::showProfile(QObject*)
{
    const int clicked = clickedRow();
    auto* list = qobject_cast<TQTableView*>(table());
    int row = clicked;
    if (row < 0 && list && list->lastClickedRow() >= 0 && mailAtRow(list->lastClickedRow()) &&
        list->cellDelegate() && list->cellDelegate()->trackingCell())
        row = list->lastClickedRow();
    const std::shared_ptr<Mail> mail = row >= 0 ? mailAtRow(row) : selectedMails().value(0);
    if (!mail)
        return;
    TQLog("Show details: %@", mail->displayName());
    TQNavigationController* stack = navigationController();
    auto* page = ViewClasses::make<TQViewController>(TQMainWindowController::kContactViewClass);
    if (!page)
        return;
    QMetaObject::invokeMethod(page, "setEmail", Q_ARG(QVariant, QVariant::fromValue(ManagedObjectPtr(mail))));
    if (stack)
        stack->pushController(page);
    else
        delete page;
}

void TQAllContactsController::updateMails(const QList<std::shared_ptr<Mail>>& mails, const QString& flag,
                                          bool value, const char* verb)
{
    if (mails.isEmpty())
        return;
    ActionRequests::execute(ActionRequests::Manager::Contacts, QStringLiteral("UpdateMails"),
                            Invocation::invocationForSelector(Selectors::operationDidFinish, this),
                            {{QStringLiteral("mailEntities"), mailValues(mails)},
                             {QStringLiteral("statusID"), identifier(verb)},
                             {QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(this)},
                             {flag, value}});
}

void TQAllContactsController::toggleFavoriteState(QObject* sender)
{
    trackMenuEvent(sender, Commands::toggleFavoriteState);
    const QList<std::shared_ptr<Mail>> mails = selectedMails();
    bool anyNotFavourite = false;
    for (const auto& mail : mails)
        anyNotFavourite = anyNotFavourite || !mail->favorite().toBool();
    updateMails(mails, QStringLiteral("isFavorite"), anyNotFavourite, "favorites");
}

void TQAllContactsController::editContact(QObject* sender)
{
    trackMenuEvent(sender, Commands::editContact);
    editEntity(sender);
}

void TQAllContactsController::editEntity(QObject*)
{
    const std::shared_ptr<Mail> mail = selectedMails().value(selectedMails().size() - 1);
    if (!mail)
        return;
    QObject* editor = ViewClasses::make(TQMainWindowController::kMailEditorClass);
    if (!editor)
        return;
    QMetaObject::invokeMethod(editor, "setEmail",
                              Q_ARG(QVariant, QVariant::fromValue(ManagedObjectPtr(mail))));
    QMetaObject::invokeMethod(editor, "showWindowModalToWindow", Q_ARG(QWidget*, view()->window()));
}

void TQAllContactsController::deleteContact(QObject* sender)
{
    trackMenuEvent(sender, Commands::deleteContact);
    TQAllContactsController::deleteEntity(sender);
}

void TQAllContactsController::deleteEntity(QObject*)
{
    // People are never deleted from the service here: the row is hidden.
    updateMails(clickedOrSelectedMails(), QStringLiteral("isVisible"), false, "delete");
    DMTracker::defaultTracker()->trackEventInCategory(QStringLiteral("Toolbar"), QStringLiteral("Delete"),
                                                      QStringLiteral("Contact"));
}

void TQAllContactsController::exportTovCard(QObject* sender)
{
    trackMenuEvent(sender, Commands::exportTovCard);
    QList<std::shared_ptr<Mail>> mails = selectedMails();
    const int clicked = clickedRow();
    if (clicked >= 0 && !selectedRows().contains(clicked))
        mails = {mailAtRow(clicked)};
    if (mails.isEmpty())
        return;
    auto* panel = new QFileDialog(view()->window());
    panel->setObjectName(QStringLiteral("vCardPanel"));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setFileMode(QFileDialog::Directory);
    panel->setOption(QFileDialog::ShowDirsOnly, true);
    panel->setLabelText(QFileDialog::Accept, StringTable::text(QStringLiteral("Select")));
    panel->setWindowModality(Qt::WindowModal);
    connect(panel, &QFileDialog::fileSelected, this,
            [this, mails](const QString& folder) { exportVCards(mails, folder); });
    panel->open();
}

QStringList TQAllContactsController::exportVCards(const QList<std::shared_ptr<Mail>>& mails,
                                                  const QString& folder)
{
    TQLog("Exporting vCards...");
    return ContactVCards::writeVCards(mails, folder);
}

void TQAllContactsController::shareFiles(QObject*)
{
    const std::shared_ptr<Mail> mail = mailAtRow(clickedRow());
    if (mail)
        TQLog("[!] Not implemented: Share new files for <%@>", mail->displayName());
}

void TQAllContactsController::share(QObject*)
{
    TQLog("[!] Not implemented: %@", QString(Commands::share));
}

void TQAllContactsController::showSharedFiles(QObject*) {}

void TQAllContactsController::newGroup(QObject*) {}

bool TQAllContactsController::validateUserInterfaceItem(QObject* item)
{
    bool answer = TQFirstLevelViewController::validateUserInterfaceItem(item);
    const QString command = UserInterfaceItem::command(item);
    if (command == Commands::newGroup || command == Commands::shareFiles || command == Commands::share ||
        command == Commands::showSharedFiles)
        return false;
    if (command == Commands::toggleFavoriteState) {
        bool anyNotFavourite = false;
        for (const auto& mail : selectedMails())
            anyNotFavourite = anyNotFavourite || !mail->favorite().toBool();
        UserInterfaceItem::setTitle(item, StringTable::text(anyNotFavourite
                                                                ? QStringLiteral("AddToFavorites")
                                                                : QStringLiteral("RemoveFromFavorites")));
        answer = answer && !selectedMails().isEmpty();
    } else if (command == Commands::editContact || command == Commands::editEntity) {
        answer = selectedMails().size() == 1;
    } else if (command == Commands::showProfile || command == Commands::exportTovCard ||
               command == Commands::deleteContact || command == Commands::deleteEntity) {
        answer = answer && (clickedRow() >= 0 || !selectedMails().isEmpty());
    }
    return answer && TQUtility::actionAllowedOffline(command);
}

// --- Drop onto a person ---

int TQAllContactsController::roleForFlyerColumn(int column)
{
    switch (column) {
    case kCommenterColumn:
        return TQACLEntry::Commenter;
    case kReaderColumn:
        return TQACLEntry::Reader;
    default:
        return TQACLEntry::Writer;
    }
}

void TQAllContactsController::fitFlyerToDocuments(int documents, bool commenterSupport)
{
    if (!m_matrix || documents != 1)
        return;
    QList<std::shared_ptr<Cell>> cells = m_matrix->cells();
    if (commenterSupport && cells.size() == 2)
        cells.append(flyerCell(QStringLiteral("Share as commenter")));
    else if (!commenterSupport && cells.size() == 3)
        cells.removeLast();
    else
        return;
    m_matrix->setCells(cells);
}

bool TQAllContactsController::acceptorCanAcceptDraggingInfo(QObject*, QDropEvent* info)
{
    TQFlyerTableView* list = flyerTable();
    if (!info || !list)
        return false;
    // People dragged out of the list go to other applications, never back onto a person.
    if (info->source() == list || info->source() == list->viewport())
        return false;
    const QPoint at = list->viewport()->mapFrom(list, list->dropLocation());
    const int row = list->dropRow() >= 0 ? list->dropRow() : list->rowAt(at.y());
    if (isGroupRow(row))
        return false;
    const QMimeData* data = info->mimeData();
    const QStringList items = DragBus::fileItems(data);
    if (items.size() == 1 && managedObjectContext()) {
        if (const auto entry =
                FileEntryAbstract::fileEntryAbstractWithIdentifier(items.first(), managedObjectContext()))
            fitFlyerToDocuments(1, entry->hasCommenterSupport());
    }
    return !items.isEmpty() || !DragBus::fileNames(data).isEmpty();
}

bool TQAllContactsController::acceptorValidateDraggingInfo(QObject* acceptor, QDropEvent* info)
{
    // Only a drop on one of the flyer's buttons counts.
    if (acceptor == table() || (table() && acceptor == table()->viewport()))
        return false;
    return acceptorCanAcceptDraggingInfo(acceptor, info);
}

bool TQAllContactsController::acceptorProcessDraggingInfo(QObject* acceptor, QDropEvent* info)
{
    TQFlyerTableView* list = flyerTable();
    if (!info || !list || acceptor == list || acceptor == list->viewport() || list->dropRow() == -1)
        return false;
    const std::shared_ptr<Mail> person = mailAtRow(list->dropRow());
    if (!person)
        return false;
    const int role = roleForFlyerColumn(m_matrix ? m_matrix->selectedColumn() : 0);
    TQACLEntry entry(TQACLEntry::User, role, person->address());
    entry.setDisplayName(person->displayName());
    const QVariantList entries{QVariant::fromValue(entry)};
    const QMimeData* data = info->mimeData();
    const InvocationPtr done = Invocation::invocationForSelector(Selectors::operationDidFinish, this);
    const QStringList items = DragBus::fileItems(data);
    if (items.isEmpty()) {
        const QList<QUrl> urls = DragBus::fileURLs(data);
        if (urls.isEmpty())
            return true;
        QVariantList values;
        for (const QUrl& url : urls)
            values.append(url);
        ActionRequests::executeDocumentAction(
            QStringLiteral("UploadFiles"), done,
            {{QStringLiteral("fileURLs"), values},
             {QStringLiteral("ACLEntries"), entries},
             {QStringLiteral("managedObjectContext"), QVariant::fromValue<QObject*>(managedObjectContext())},
             {QStringLiteral("progressID"), identifier("upload")},
             {QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(this)}});
        DMTracker::defaultTracker()->trackEventInCategory(
            QStringLiteral("Share"), QStringLiteral("Drag&Drop"), QStringLiteral("Finder"));
        return true;
    }
    QVariantList documents;
    QStringList titles;
    for (const QString& item : items) {
        if (const auto document =
                FileEntryAbstract::fileEntryAbstractWithIdentifier(item, managedObjectContext())) {
            documents.append(QVariant::fromValue(ManagedObjectPtr(document)));
            titles.append(document->title());
        }
    }
    if (documents.isEmpty())
        return false;
    const bool trashed = DragBus::hasTrashedItems(data);
    if (trashed)
        TQLog("UnTrashing: %u documents", uint(documents.size()));
    else
        TQLog("Share for [%@] as <%@> files: {%@}", person->address(),
              role == TQACLEntry::Reader ? QStringLiteral("Viewer") : QStringLiteral("Editor"),
              titles.join(QStringLiteral(", ")));
    ActionRequests::executeDocumentAction(
        trashed ? QStringLiteral("UntrashAndShareDocuments") : QStringLiteral("SetPermissions"), done,
        {{QStringLiteral("documentEntities"), documents},
         {QStringLiteral("ACLEntries"), entries},
         {QStringLiteral("statusID"), identifier(trashed ? "untrashing" : "setpermission")},
         {QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(this)}});
    DMTracker::defaultTracker()->trackEventInCategory(QStringLiteral("Share"), QStringLiteral("Drag&Drop"),
                                                      QStringLiteral("Tavrel"));
    return true;
}

} // namespace tavrel
