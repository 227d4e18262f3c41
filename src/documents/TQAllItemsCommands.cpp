#include "documents/TQAllItemsCommands.h"

#include "chrome/TQActionProcessor.h"
#include "chrome/TQFloatingTitlebar.h"
#include "chrome/TQOpenPrefAction.h"
#include "chrome/TQUtilityWindowController.h"
#include "controls/TQFloatingWindow.h"
#include "controls/TQTableView.h"
#include "documents/DocumentCommandSupport.h"
#include "documents/TQAllItemsController.h"
#include "documents/TQCopyHelper.h"
#include "model/Category.h"
#include "model/File.h"
#include "model/GeneralACLPermission.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "model/Mail.h"
#include "model/SharingRoles.h"
#include "model/TQACLEntry.h"
#include "model/TQMOCMaster.h"
#include "model/TQPreferencesManager.h"
#include "model/TQStringExtensions.h"
#include "model/TQUtility.h"
#include "platform/runtime/Invocation.h"
#include "platform/system/DMTracker.h"
#include "platform/system/TQLog.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentPrinter.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "session/ApplicationServices.h"
#include "session/ConnectionStatus.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"
#include "sharing/QuickShareDialogs.h"
#include "sharing/SharingPermissions.h"
#include "window/ActionNotifications.h"
#include "window/ActionRequests.h"
#include "window/TQFloatingContentController.h"
#include "window/TQNavigationController.h"
#include "window/TQNotificationController.h"
#include "window/ViewClasses.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>

namespace tavrel {

namespace {

const QString kDocumentEntities = QStringLiteral("documentEntities");
const QString kDocumentEntity = QStringLiteral("documentEntity");
const QString kStatusID = QStringLiteral("statusID");
const QString kProgressID = QStringLiteral("progressID");
const QString kProgressConsumer = QStringLiteral("progressConsumer");

using Support = DocumentCommandSupport;

std::shared_ptr<FileEntryAbstract> entryOf(const ManagedObjectPtr& record)
{
    return std::dynamic_pointer_cast<FileEntryAbstract>(record);
}

bool isCollection(const ManagedObjectPtr& record)
{
    return Support::isCollection(record);
}

// The user may share it and change its visibility.
bool maySharing(const ManagedObjectPtr& record)
{
    const auto entry = entryOf(record);
    return entry && SharingRoles::mayShare(*entry, Support::username());
}

QVariantList recordValues(const QList<ManagedObjectPtr>& records)
{
    return Support::recordValues(records);
}

QString identifier(const char* verb)
{
    return Support::identifier(verb);
}

void trackMenuEvent(QObject* sender, QLatin1String selector)
{
    Support::trackMenuEvent(sender, selector);
}

InvocationPtr callback(QObject* target, QLatin1String selector)
{
    return Support::callback(target, selector);
}

QString currentUsername()
{
    return Support::username();
}

// The cached copy of a record's document, from its file path (a path or a file URL); empty when none.
QString cachedPathOf(const ManagedObjectPtr& record)
{
    const auto file = std::dynamic_pointer_cast<File>(record);
    if (!file)
        return {};
    const QString stored = file->filePath();
    if (stored.isEmpty())
        return {};
    const QUrl url(stored);
    const QString path = url.isLocalFile() ? url.toLocalFile() : stored;
    return QFileInfo(path).isFile() ? path : QString();
}

QString titleOf(const ManagedObjectPtr& record)
{
    return Support::titleOf(record);
}

} // namespace

TQAllItemsCommands::TQAllItemsCommands(TQAllItemsController* list) : QObject(list), m_list(list) {}

TQAllItemsCommands::~TQAllItemsCommands() = default;

QWidget* TQAllItemsCommands::window() const
{
    return m_list->isViewLoaded() ? m_list->view()->window() : nullptr;
}

bool TQAllItemsCommands::validateUserInterfaceItem(QObject* item)
{
    return m_list->validateUserInterfaceItem(item);
}

// --- Which records ---

// The row selected last: the table's current row when it is selected, else the last selected one.
static int selectedRowOf(TQAllItemsController* list)
{
    const QList<int> rows = list->selectedRows();
    if (rows.isEmpty())
        return -1;
    QAbstractItemView* table = list->table();
    const int current = table && table->selectionModel() ? table->selectionModel()->currentIndex().row() : -1;
    return rows.contains(current) ? current : rows.constLast();
}

// "Selection or selected row": the selected records, or the selected row's alone when it is not
// among them.
static QList<ManagedObjectPtr> selectionOrSelectedRow(TQAllItemsController* list)
{
    QList<ManagedObjectPtr> records = list->selectedRecords();
    const ManagedObjectPtr last = list->recordAtRow(selectedRowOf(list));
    if (last && !records.contains(last))
        return {last};
    return records;
}

// The clicked row's record, else the selected records.
static QList<ManagedObjectPtr> clickedOrSelected(TQAllItemsController* list)
{
    if (const ManagedObjectPtr clicked = list->recordAtRow(list->clickedRow()))
        return {clicked};
    return list->selectedRecords();
}

// --- Opening ---

void TQAllItemsCommands::executeFile(QObject*)
{
    const int clicked = m_list->clickedRow();
    const ManagedObjectPtr record = m_list->recordAtRow(clicked >= 0 ? clicked : selectedRowOf(m_list));
    if (record && isCollection(record))
        showPreview(nullptr);
    else
        editEntity(static_cast<QObject*>(nullptr));
}

void TQAllItemsCommands::open(QObject* sender)
{
    trackMenuEvent(sender, Commands::open);
    executeFile(nullptr);
}

void TQAllItemsCommands::editEntity(QObject* sender)
{
    toggleNewState(nullptr);
    QUrl application;
    if (qobject_cast<QAction*>(sender))
        application = UserInterfaceItem::representedObject(sender).toUrl();
    openRecords(selectionOrSelectedRow(m_list), application);
}

void TQAllItemsCommands::openRecords(const QList<ManagedObjectPtr>& records, const QUrl& chosen)
{
    Support::openRecords(m_list, records, chosen);
}

void TQAllItemsCommands::openWith(QObject* sender)
{
    trackMenuEvent(sender, Commands::openWith);
    if (!qobject_cast<QAction*>(sender) || !UserInterfaceItem::representedObject(sender).isValid())
        return;
    editEntity(sender);
}

void TQAllItemsCommands::chooseApplication(QObject* sender)
{
    trackMenuEvent(sender, Commands::chooseApplication);
    // What the command was given for: the selection may change or go while the panel is open.
    toggleNewState(nullptr);
    const QList<ManagedObjectPtr> records = selectionOrSelectedRow(m_list);
    QPointer<TQAllItemsCommands> self(this);
    Support::chooseApplication(m_list, [self, records](const QUrl& application) {
        if (self)
            self->openRecords(records, application);
    });
}

void TQAllItemsCommands::openInBrowser(QObject*)
{
    toggleNewState(nullptr);
    const ManagedObjectPtr record = m_list->recordAtRow(selectedRowOf(m_list));
    if (!record) {
        TQLog("E: Called Open in browser for no selection");
        return;
    }
    Support::openInBrowser(m_list, record);
}

// --- Details ---

void TQAllItemsCommands::showDetails(QObject* sender)
{
    showPreview(sender);
}

void TQAllItemsCommands::showPreview(QObject* sender)
{
    trackMenuEvent(sender, Commands::showPreview);
    showDetailsFilterActivated(0);
}

void TQAllItemsCommands::showItemContacts(QObject*)
{
    showDetailsFilterActivated(1);
}

void TQAllItemsCommands::showDetailsFilterActivated(int filter)
{
    toggleNewState(nullptr);
    int row = m_list->clickedRow();
    if (row < 0 && m_list->tableView() && m_list->tableView()->installedOverlay())
        row = m_list->tableView()->overlayRow();
    if (row < 0)
        row = selectedRowOf(m_list);
    const ManagedObjectPtr record = m_list->recordAtRow(row);
    if (!record)
        return;
    Support::showDetails(m_list, record, filter);
}

// The sharing details or collections of several records in a window of their own.
static void showUtilityWindow(TQAllItemsController* list, const char* controllerClass, const char* titleKey)
{
    const QList<ManagedObjectPtr> records = list->selectedRecords();
    auto* controller = ViewClasses::make<TQViewController>(QLatin1String(controllerClass));
    if (!controller) {
        TQLog("E: No %@ to show %lu items", QLatin1String(controllerClass), records.size());
        return;
    }
    controller->setProperty("items", recordValues(records));
    controller->setProperty("item", recordValues(records));
    auto* window = new TQUtilityWindowController;
    window->setController(controller);
    // The title stands on the window's own bar too, where the window manager shows none.
    const QString title = StringTable::format(QLatin1String(titleKey), records.size());
    window->titleToolbar()->setTitle(title);
    if (QWidget* shown = window->window())
        shown->setWindowTitle(title);
    window->showWindow(nullptr);
}

void TQAllItemsCommands::showSharingContacts(QObject* sender)
{
    trackMenuEvent(sender, Commands::showSharingContacts);
    if (m_list->selectedRecords().size() > 1)
        showUtilityWindow(m_list, "TQSharingDetailsController", "SharingDetailsTitleFormat");
    else
        showDetailsFilterActivated(1);
}

void TQAllItemsCommands::organize(QObject* sender)
{
    trackMenuEvent(sender, Commands::organize);
    if (m_list->selectedRecords().size() > 1)
        showUtilityWindow(m_list, "TQOrganizeItemsController", "OrganizeItemsTitleFormat");
    else
        showDetailsFilterActivated(2);
}

// --- Star, rename, viewed ---

void TQAllItemsCommands::toggleStarState(QObject* sender)
{
    trackMenuEvent(sender, Commands::toggleStarState);
    if (selectedRowOf(m_list) < 0) {
        TQLog("E: Called Starred for no selection");
        return;
    }
    toggleStarStateForSelection(selectionOrSelectedRow(m_list));
}

void TQAllItemsCommands::toggleStarStateOne(QObject*)
{
    if (const ManagedObjectPtr record = m_list->recordAtRow(m_list->pressedRow()))
        toggleStarStateForSelection({record});
}

void TQAllItemsCommands::toggleStarStateForSelection(const QList<ManagedObjectPtr>& items)
{
    toggleNewState(nullptr);
    Support::toggleStar(m_list, items);
}

void TQAllItemsCommands::rename(QObject* sender)
{
    trackMenuEvent(sender, Commands::rename);
    QList<int> rows;
    const int selected = selectedRowOf(m_list);
    if (selected >= 0)
        rows = {selected};
    QList<int> qualified;
    for (int row : std::as_const(rows))
        if (const ManagedObjectPtr record = m_list->recordAtRow(row); record && maySharing(record))
            qualified.append(row);
    if (qualified.isEmpty() || !m_list->tableView())
        return;
    m_list->tableView()->selectRowIndexes(qualified, false);
    m_list->tableView()->editRow(qualified.constLast());
}

void TQAllItemsCommands::renameRecord(const ManagedObjectPtr& record, const QString& newName)
{
    Support::renameRecord(m_list, record, newName);
}

void TQAllItemsCommands::toggleViewedState(QObject* sender)
{
    trackMenuEvent(sender, Commands::toggleViewedState);
    const QList<ManagedObjectPtr> records = clickedOrSelected(m_list);
    if (records.isEmpty()) {
        TQLog("E: Called Mark viewed for no selection");
        return;
    }
    // The item reads "Mark as Viewed" when any of them is new, else "Mark as Not Viewed": do what it says.
    bool anyNew = false;
    for (const ManagedObjectPtr& record : records)
        if (const auto entry = entryOf(record))
            anyNew = anyNew || entry->isNew();
    ActionRequests::executeDocumentAction(QStringLiteral("MarkAsViewed"),
                                          callback(m_list, Selectors::operationDidFinish),
                                          {{kDocumentEntities, recordValues(records)},
                                           {QStringLiteral("isViewed"), anyNew},
                                           {kStatusID, identifier("viewed")},
                                           {kProgressConsumer, QVariant::fromValue<QObject*>(m_list)}});
}

void TQAllItemsCommands::toggleNewState(QObject*)
{
    bool changed = false;
    for (const ManagedObjectPtr& record : clickedOrSelected(m_list)) {
        const auto entry = entryOf(record);
        if (entry && entry->isNew()) {
            entry->setIsNew(false);
            changed = true;
        }
    }
    if (!changed)
        return;
    if (auto* master = dynamic_cast<TQMOCMaster*>(m_list->managedObjectContext()))
        master->save();
    if (m_list->table())
        m_list->table()->viewport()->update();
}

// --- Download, print ---

void TQAllItemsCommands::download(QObject* sender)
{
    trackMenuEvent(sender, Commands::download);
    const QList<ManagedObjectPtr> records = m_list->selectedRecords();
    if (records.isEmpty()) {
        TQLog("E: Called Download for no selection");
        return;
    }
    TQLog("Downloading %lu documents", records.size());
    ActionRequests::executeDocumentAction(QStringLiteral("GetFiles"),
                                          callback(this, Selectors::downloadDidFinish),
                                          {{kDocumentEntities, recordValues(records)},
                                           {kProgressID, identifier("download")},
                                           {kProgressConsumer, QVariant::fromValue<QObject*>(m_list)}});
}

void TQAllItemsCommands::printEntity(QObject*)
{
    const QList<ManagedObjectPtr> records = m_list->selectedRecords();
    const ManagedObjectPtr record = records.isEmpty() ? nullptr : records.constLast();
    if (!record) {
        TQLog("E: Called Print for no selection");
        return;
    }
    const QString title = titleOf(record);
    const QString path = cachedPathOf(record);
    if (path.isEmpty()) {
        TQLog("E: Cannot print: <%@> has not cached yet", title);
        return;
    }
    QWidget* window = this->window();
    if (DocumentPrinter::kindOfFile(path) == DocumentPrinter::Kind::Unsupported) {
        const QString reason = StringTable::format(QStringLiteral("CannotPrintKind"), title);
        TQLog("E: Cannot print: %@", reason);
        auto* alert = new Alert;
        alert->setStyle(Alert::Style::Informational);
        alert->setMessageText(reason);
        alert->beginSheet(window, nullptr);
        return;
    }
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(title);
    auto* dialog = new QPrintDialog(printer.get(), window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QDialog::accepted, dialog, [printer, path] {
        QString error;
        if (!DocumentPrinter::printFile(path, printer.get(), &error))
            TQLog("E: Cannot print: %@", error);
    });
    dialog->open();
}

// --- Trash or remove ---

void TQAllItemsCommands::remove(QObject* sender)
{
    trackMenuEvent(sender, Commands::remove);
    deleteEntity(static_cast<QObject*>(nullptr));
}

void TQAllItemsCommands::deleteEntity(QObject*)
{
    const QList<ManagedObjectPtr> records = selectionOrSelectedRow(m_list);
    if (records.isEmpty()) {
        TQLog("E: Called Delete for no selection");
        return;
    }
    Support::trashOrRemove(m_list, this, records);
}

// --- Owner ---

void TQAllItemsCommands::changeOwnership(QObject* sender)
{
    trackMenuEvent(sender, Commands::changeOwnership);
    Support::changeOwnership(m_list, sender, m_list->selectedRecords());
}

// --- Visibility ---

void TQAllItemsCommands::toggleGenericPermission(QObject* sender)
{
    auto* item = qobject_cast<QAction*>(sender);
    if (!item)
        return;
    const ManagedObjectPtr record =
        UserInterfaceItem::representedObject(item).value<std::shared_ptr<ManagedObject>>();
    const auto entry = entryOf(record);
    if (!entry || !maySharing(record))
        return;
    int position = -1;
    for (QObject* holder : item->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(holder); menu && position < 0)
            position = int(menu->actions().indexOf(item));
    if (position < 0)
        return;
    QVariantMap parameters{{kDocumentEntities, QVariantList{QVariant::fromValue(record)}},
                           {kStatusID, identifier("genpermission")},
                           {kProgressConsumer, QVariant::fromValue<QObject*>(m_list)}};
    if (position >= 2) {
        auto access = GeneralACLPermissionAdapter::generalACLPermissionAdapterWithUsername(currentUsername());
        access->setRole(QStringLiteral("reader"));
        access->setType(position <= 3 ? QStringLiteral("default") : QStringLiteral("domain"));
        access->setHasLink(position == 2 || position == 4);
        if (const auto current = entry->generalACL())
            access->setXml(current->xml());
        parameters.insert(QStringLiteral("generalACLPermission"), QVariant::fromValue(access));
    }
    TQLog("Changing generic permission: %@", entry->title());
    ActionRequests::executeDocumentAction(QStringLiteral("SetGeneralACLPermissions"),
                                          callback(this, Selectors::generalPermissionDidFinish), parameters);
}

// --- Callbacks ---

void TQAllItemsCommands::documentsDidTrashWithResult(const QVariant& result, const QVariant& error)
{
    m_list->operationDidFinishWithResult(result, error);
}

void TQAllItemsCommands::documentsDidDeleteWithResult(const QVariant& result, const QVariant& error)
{
    m_list->operationDidFinishWithResult(result, error);
}

void TQAllItemsCommands::downloadDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    TQLog("Received action callback");
    m_list->operationDidFinishWithResult(result, error);
    if (error.isValid() && !error.value<Error>().isNull())
        return;
    TQCopyHelper* helper = TQCopyHelper::copingHelper();
    helper->setInteractionWindow(window());
    helper->copyDownloadsInBackground(result.toList());
}

void TQAllItemsCommands::uploadDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    TQLog("Received upload callback");
    m_list->operationDidFinishWithResult(result, error);
    if (error.isValid() && !error.value<Error>().isNull())
        return;
    ActionNotifications::postUpload(result.toList());
}

} // namespace tavrel
