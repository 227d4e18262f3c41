#include "documents/TQSharedFilesCommands.h"

#include "controls/TQTableView.h"
#include "documents/DocumentCommandSupport.h"
#include "documents/TQCopyHelper.h"
#include "documents/TQSharedFilesController.h"
#include "lists/ListModel.h"
#include "lists/QuickSharePresenter.h"
#include "model/FileEntryAbstract.h"
#include "model/GeneralACLPermission.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "model/SharingRoles.h"
#include "platform/system/TQLog.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "window/ActionError.h"
#include "window/ActionNotifications.h"
#include "window/ActionRequests.h"
#include "window/TQNotificationController.h"

#include <QAction>
#include <QItemSelectionModel>

namespace tavrel {

namespace {

using Support = DocumentCommandSupport;

std::shared_ptr<FileEntryAbstract> entryOf(const ManagedObjectPtr& record)
{
    return std::dynamic_pointer_cast<FileEntryAbstract>(record);
}

QVariant consumer(QObject* list)
{
    return QVariant::fromValue(list);
}

} // namespace

TQSharedFilesCommands::TQSharedFilesCommands(TQSharedFilesController* list) : QObject(list), m_list(list) {}

TQSharedFilesCommands::~TQSharedFilesCommands() = default;

bool TQSharedFilesCommands::validateUserInterfaceItem(QObject* item)
{
    return m_list->validateUserInterfaceItem(item);
}

// --- Opening ---

void TQSharedFilesCommands::open(QObject* sender)
{
    Support::trackMenuEvent(sender, Commands::open);
    editEntity(sender);
}

void TQSharedFilesCommands::openWith(QObject* sender)
{
    Support::trackMenuEvent(sender, Commands::openWith);
    editEntity(sender);
}

void TQSharedFilesCommands::editEntity(QObject* sender)
{
    const ManagedObjectPtr record = m_list->selectedRecord();
    if (!record || Support::isCollection(record))
        return;
    QUrl application;
    if (qobject_cast<QAction*>(sender))
        application = UserInterfaceItem::representedObject(sender).toUrl();
    Support::openRecords(m_list, {record}, application);
}

void TQSharedFilesCommands::chooseApplication(QObject* sender)
{
    Support::trackMenuEvent(sender, Commands::chooseApplication);
    const ManagedObjectPtr record = m_list->selectedRecord();
    if (!record)
        return;
    QPointer<TQSharedFilesController> list(m_list);
    Support::chooseApplication(m_list, [list, record](const QUrl& application) {
        if (list)
            Support::openRecords(list, {record}, application);
    });
}

void TQSharedFilesCommands::openInBrowser(QObject* sender)
{
    Support::trackMenuEvent(sender, Commands::openInBrowser);
    if (const ManagedObjectPtr record = m_list->selectedRecord())
        Support::openInBrowser(m_list, record);
}

void TQSharedFilesCommands::clickLink(QObject*)
{
    const ManagedObjectPtr record = m_list->selectedRecord();
    if (!record || Support::isCollection(record))
        return;
    ActionRequests::executeDocumentAction(QStringLiteral("OpenDocument"), nullptr,
                                          {{QStringLiteral("documentEntity"), QVariant::fromValue(record)}});
}

// --- Link and sharing ---

bool TQSharedFilesCommands::copyLink(const ManagedObjectPtr& record)
{
    const auto entry = entryOf(record);
    const auto access = entry ? entry->generalACL() : nullptr;
    if (!access || !access->hasLink().toBool())
        return false;
    Clipboard::clear();
    Clipboard::writeURLs({QUrl(entry->alternateLink())});
    ActionNotifications::post(entry->title(), StringTable::text(QStringLiteral("LinkPermissionFormat")));
    return true;
}

void TQSharedFilesCommands::getLinkToShare(QObject* sender)
{
    Support::trackMenuEvent(sender, Commands::getLinkToShare);
    const ManagedObjectPtr record = m_list->selectedRecord();
    const auto entry = entryOf(record);
    if (!entry || copyLink(record))
        return;
    if (!SharingRoles::mayShare(*entry, Support::username())) {
        if (TQNotificationController* banner = m_list->notificationController()) {
            banner->setMessage(StringTable::text(QStringLiteral("ChangeVisibilityDeniedMessage")), QString(),
                               StringTable::text(QStringLiteral("RequestRightsAction")));
            banner->showNotification();
        }
        return;
    }
    auto access = GeneralACLPermissionAdapter::generalACLPermissionAdapterWithUsername(Support::username());
    access->setRole(QStringLiteral("reader"));
    access->setType(QStringLiteral("default"));
    access->setHasLink(true);
    if (const auto current = entry->generalACL())
        access->setXml(current->xml());
    TQLog("Changing generic permission: %@", entry->title());
    ActionRequests::executeDocumentAction(
        QStringLiteral("SetGeneralACLPermission"),
        Support::callback(this, Selectors::generalPermissionDidFinish),
        {{QStringLiteral("statusID"), Support::identifier("genpermission")},
         {QStringLiteral("progressConsumer"), consumer(m_list)},
         {QStringLiteral("documentEntity"), QVariant::fromValue(record)},
         {QStringLiteral("generalACLPermission"), QVariant::fromValue(access)}});
}

QPoint TQSharedFilesCommands::anchor() const
{
    TQTableView* table = m_list->tableView();
    const int row = m_list->selectedRow();
    return table && row >= 0 ? QuickSharePresenter::anchorForRow(table->viewport(), table->rectOfRow(row))
                             : QPoint();
}

void TQSharedFilesCommands::shareForSelection(const QList<ManagedObjectPtr>& selection)
{
    QPointer<TQSharedFilesController> list(m_list);
    QuickSharePresenter::share(
        m_list, selection, anchor(),
        [](const QList<ManagedObjectPtr>& documents, const QPoint& point) {
            QuickSharePresenter::showShareWith(documents, point, true);
        },
        [list](const ManagedObjectPtr& record) {
            const int row = list ? list->rowOfRecord(record) : -1;
            if (row >= 0 && list->table()->selectionModel())
                list->table()->selectionModel()->select(list->dataProvider()->index(row),
                                                        QItemSelectionModel::Deselect);
        });
}

void TQSharedFilesCommands::shareWithForSelection(const QList<ManagedObjectPtr>& selection)
{
    QuickSharePresenter::showShareWith(selection, anchor(), true);
}

void TQSharedFilesCommands::share(QObject* sender)
{
    Support::trackMenuEvent(sender, Commands::share);
    QList<ManagedObjectPtr> documents;
    if (const ManagedObjectPtr record = m_list->selectedRecord())
        documents = {record};
    const QList<ManagedObjectPtr> permitted =
        QuickShareDecision::permittedOnly(documents, Support::username());
    if (permitted.isEmpty()) {
        QuickSharePresenter::showDenied(m_list);
        return;
    }
    shareWithForSelection(permitted);
}

void TQSharedFilesCommands::shareOne(QObject*)
{
    if (const ManagedObjectPtr record = m_list->selectedRecord())
        shareForSelection({record});
}

void TQSharedFilesCommands::shareOneWith(QObject*)
{
    if (const ManagedObjectPtr record = m_list->selectedRecord())
        shareWithForSelection({record});
}

// --- Owner, details ---

void TQSharedFilesCommands::changeOwnership(QObject* sender)
{
    Support::trackMenuEvent(sender, Commands::changeOwnership);
    if (const ManagedObjectPtr record = m_list->selectedRecord())
        Support::changeOwnership(m_list, sender, {record});
}

void TQSharedFilesCommands::showDetailsFilterActivated(int filter)
{
    Support::showDetails(m_list, m_list->selectedRecord(), filter);
}

void TQSharedFilesCommands::showPreview(QObject* sender)
{
    Support::trackMenuEvent(sender, Commands::showPreview);
    showDetailsFilterActivated(0);
}

void TQSharedFilesCommands::showItemContacts(QObject* sender)
{
    Support::trackMenuEvent(sender, Commands::showItemContacts);
    showDetailsFilterActivated(1);
}

void TQSharedFilesCommands::showSharingContacts(QObject* sender)
{
    Support::trackMenuEvent(sender, Commands::showSharingContacts);
    showDetailsFilterActivated(1);
}

void TQSharedFilesCommands::organize(QObject* sender)
{
    Support::trackMenuEvent(sender, Commands::organize);
    showDetailsFilterActivated(2);
}

// --- Rename, download, star, delete ---

void TQSharedFilesCommands::rename(QObject* sender)
{
    Support::trackMenuEvent(sender, Commands::rename);
    const int row = m_list->selectedRow();
    TQTableView* table = m_list->tableView();
    if (row < 0 || !table)
        return;
    m_list->selectRow(row);
    table->editRow(row);
}

void TQSharedFilesCommands::download(QObject* sender)
{
    Support::trackMenuEvent(sender, Commands::download);
    const ManagedObjectPtr record = m_list->selectedRecord();
    if (!record) {
        TQLog("E: Called Download for no selection");
        return;
    }
    TQLog("Downloading Document: %@", Support::titleOf(record));
    ActionRequests::executeDocumentAction(QStringLiteral("GetFile"),
                                          Support::callback(this, Selectors::downloadDidFinish),
                                          {{QStringLiteral("documentEntity"), QVariant::fromValue(record)},
                                           {QStringLiteral("progressID"), Support::identifier("download")},
                                           {QStringLiteral("progressConsumer"), consumer(m_list)}});
}

void TQSharedFilesCommands::toggleStarStateOne(QObject*)
{
    if (const ManagedObjectPtr record = m_list->selectedRecord())
        Support::toggleStar(m_list, {record});
}

void TQSharedFilesCommands::deleteEntity(QObject* sender)
{
    Support::trackMenuEvent(sender, Commands::deleteEntity);
    if (const ManagedObjectPtr record = m_list->selectedRecord())
        Support::trashOrRemove(m_list, this, {record});
}

// --- Callbacks ---

void TQSharedFilesCommands::documentsDidTrashWithResult(const QVariant& result, const QVariant& error)
{
    m_list->operationDidFinishWithResult(result, error);
}

void TQSharedFilesCommands::documentsDidDeleteWithResult(const QVariant& result, const QVariant& error)
{
    m_list->operationDidFinishWithResult(result, error);
}

void TQSharedFilesCommands::downloadDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    TQLog("Received action callback");
    if (const Error failure = ActionError::errorFromValue(error); !failure.isNull()) {
        // The window's banner says why; nothing was downloaded to copy.
        m_list->operationDidFinishWithResult(result, error);
        return;
    }
    TQCopyHelper* helper = TQCopyHelper::copingHelper();
    helper->setInteractionWindow(Support::windowOf(m_list));
    helper->copyDownloadsInBackground(QVariantList{result});
}

void TQSharedFilesCommands::generalPermissionDidFinishWithResult(const QVariant& result,
                                                                 const QVariant& error)
{
    TQLog("Received general permission callback");
    if (!ActionError::errorFromValue(error).isNull()) {
        m_list->operationDidFinishWithResult(result, error);
        return;
    }
    copyLink(result.value<ManagedObjectPtr>());
}

} // namespace tavrel
