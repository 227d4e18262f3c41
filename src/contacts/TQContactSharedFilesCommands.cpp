#include "contacts/TQContactSharedFilesCommands.h"

#include "contacts/ContactFileAccess.h"
#include "contacts/TQContactSharedFilesController3.h"
#include "controls/TQTableView.h"
#include "documents/DocumentCommandSupport.h"
#include "model/FileEntryAbstract.h"
#include "model/GeneralACLPermission.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "model/Mail.h"
#include "model/SharingRoles.h"
#include "platform/system/TQLog.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "sharing/QuickShareDialogs.h"
#include "sharing/SharingClasses.h"
#include "window/ActionError.h"
#include "window/ActionNotifications.h"
#include "window/ActionRequests.h"
#include "window/TQFloatingContentController.h"
#include "window/TQNotificationController.h"
#include "window/ViewClasses.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QMenu>

namespace tavrel {

namespace {

using Support = DocumentCommandSupport;

std::shared_ptr<FileEntryAbstract> entryOf(const ManagedObjectPtr& record)
{
    return std::dynamic_pointer_cast<FileEntryAbstract>(record);
}

bool mayShare(const ManagedObjectPtr& record)
{
    const auto entry = entryOf(record);
    return entry && SharingRoles::mayShare(*entry, Support::username());
}

bool hasLink(const ManagedObjectPtr& record)
{
    const auto entry = entryOf(record);
    const auto access = entry ? entry->generalACL() : nullptr;
    return access && access->hasLink().toBool() && !entry->alternateLink().isEmpty();
}

} // namespace

TQContactSharedFilesCommands::TQContactSharedFilesCommands(TQContactSharedFilesController3* list)
    : TQAllItemsCommands(list), m_contactList(list)
{}

TQContactSharedFilesCommands::~TQContactSharedFilesCommands() = default;

int TQContactSharedFilesCommands::selectedRow() const
{
    const QList<int> rows = m_contactList->selectedRows();
    if (rows.isEmpty())
        return -1;
    QAbstractItemView* table = m_contactList->isViewLoaded() ? m_contactList->table() : nullptr;
    const int current = table && table->selectionModel() ? table->selectionModel()->currentIndex().row() : -1;
    return rows.contains(current) ? current : rows.constLast();
}

void TQContactSharedFilesCommands::showDenied(const char* messageKey, const QString& action)
{
    if (TQNotificationController* banner = m_contactList->notificationController()) {
        banner->setMessage(StringTable::text(QLatin1String(messageKey)), action,
                           StringTable::text(QStringLiteral("RequestRightsAction")));
        banner->showNotification();
    }
}

// --- The person's access ---

void TQContactSharedFilesCommands::deleteEntity(QObject*)
{
    const std::shared_ptr<Mail> person = m_contactList->email();
    const ManagedObjectPtr record = m_contactList->recordAtRow(selectedRow());
    if (record && person) {
        if (m_contactList->isOwnedByContact(record)) {
            // An owner cannot lose access: nothing goes out, and the user is told why.
            TQLog("E: Cannot remove the owner %@ from %@", person->address(), Support::titleOf(record));
            showDenied("ActionDeniedMessage", QString());
        } else {
            TQLog("Deleting permission for contact: %@ [%@]", person->address(), Support::titleOf(record));
            ActionRequests::executeDocumentAction(
                QStringLiteral("RemovePermission"), Support::callback(this, Selectors::deleteDidFinish),
                ContactFileAccess::removePermissionParameters(record, person, m_contactList));
        }
    }
    Support::trackUsage(QStringLiteral("Toolbar"), QStringLiteral("Delete"), QStringLiteral("Document"));
}

void TQContactSharedFilesCommands::stopSharingOne(QObject*)
{
    const int row = m_contactList->pressedRow();
    if (row >= 0 && m_contactList->tableView())
        m_contactList->tableView()->selectRowIndexes({row}, false);
    deleteEntity(static_cast<QObject*>(nullptr));
}

void TQContactSharedFilesCommands::unshare(QObject* sender)
{
    Support::trackMenuEvent(sender, Commands::unshare);
    const std::shared_ptr<Mail> person = m_contactList->email();
    const QList<ManagedObjectPtr> selected = m_contactList->selectedRecords();
    if (selected.isEmpty() || !person)
        return;
    QList<ManagedObjectPtr> kept;
    for (const ManagedObjectPtr& record : selected)
        if (!m_contactList->isOwnedByContact(record))
            kept.append(record);
    TQLog("Unshare for contact: %@ [%ld items]", person->address(), kept.size());
    if (kept.isEmpty())
        return;
    ActionRequests::executeDocumentAction(
        QStringLiteral("RemovePermissions"), Support::callback(this, Selectors::deleteDidFinish),
        {{QStringLiteral("statusID"), Support::identifier("removepermissions")},
         {QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(m_contactList)},
         {QStringLiteral("documentEntities"), Support::recordValues(kept)},
         {QStringLiteral("mailAddresses"), QStringList{person->address()}}});
}

// --- Sharing ---

void TQContactSharedFilesCommands::shareWith(QObject*)
{
    const QList<ManagedObjectPtr> records = m_contactList->selectedRecords();
    if (records.isEmpty()) {
        TQLog("E: Called share with... for no selection");
        return;
    }
    shareWithForSelection(records, QPoint());
}

void TQContactSharedFilesCommands::getLinkToShare(QObject* sender)
{
    Support::trackMenuEvent(sender, Commands::getLinkToShare);
    const QList<int> rows = m_contactList->selectedRows();
    QList<ManagedObjectPtr> allowed;
    QList<int> allowedRows;
    for (const int row : rows) {
        const ManagedObjectPtr record = m_contactList->recordAtRow(row);
        if (record && mayShare(record)) {
            allowed.append(record);
            allowedRows.append(row);
        }
    }
    if (allowed.isEmpty()) {
        showDenied("ActionDeniedMessage", QStringLiteral("request"));
        return;
    }
    if (allowed.size() == rows.size()) {
        shareLinkWithForSelection(allowed);
        return;
    }
    auto* alert = new Alert;
    alert->setMessageText(
        StringTable::format(QStringLiteral("MixedPermissionTitle"), rows.size() - allowed.size()));
    alert->setDefaultButtonTitle(StringTable::text(QStringLiteral("OK")));
    alert->setAlternateButtonTitle(StringTable::text(QStringLiteral("Cancel")));
    alert->setInformativeText(StringTable::text(QStringLiteral("MixedLinkPermissionMessage")));
    const QPointer<TQContactSharedFilesCommands> self(this);
    alert->beginSheet(window(), [self, allowedRows](int response, bool) {
        if (!self || response != Alert::DefaultResponse || !self->m_contactList->tableView())
            return;
        self->m_contactList->tableView()->selectRowIndexes(allowedRows, false);
        self->shareLinkWithForSelection(self->m_contactList->selectedRecords());
    });
}

bool TQContactSharedFilesCommands::copyLinks(const QList<ManagedObjectPtr>& records)
{
    QList<QUrl> links;
    QString lastTitle;
    for (const ManagedObjectPtr& record : records)
        if (hasLink(record)) {
            links.append(QUrl(entryOf(record)->alternateLink()));
            lastTitle = entryOf(record)->title();
        }
    if (links.isEmpty())
        return false;
    Clipboard::clear();
    Clipboard::writeURLs(links);
    ActionNotifications::post(
        links.size() == 1 ? lastTitle : StringTable::format(QStringLiteral("ManyItems"), links.size()),
        StringTable::text(QStringLiteral("LinkPermissionFormat")));
    return true;
}

void TQContactSharedFilesCommands::shareLinkWithForSelection(const QList<ManagedObjectPtr>& records)
{
    bool everyOneHasLink = !records.isEmpty();
    for (const ManagedObjectPtr& record : records)
        everyOneHasLink = everyOneHasLink && hasLink(record);
    if (everyOneHasLink) {
        copyLinks(records);
        return;
    }
    QStringList titles;
    for (const ManagedObjectPtr& record : records)
        titles.append(Support::titleOf(record));
    TQLog("Changing generic permission: %@", titles.join(QStringLiteral(", ")));
    auto access = GeneralACLPermissionAdapter::generalACLPermissionAdapterWithUsername(Support::username());
    access->setRole(QStringLiteral("reader"));
    access->setType(QStringLiteral("default"));
    access->setHasLink(true);
    ActionRequests::executeDocumentAction(
        QStringLiteral("SetGeneralACLPermissions"),
        Support::callback(this, Selectors::generalPermissionDidFinish),
        {{QStringLiteral("statusID"), Support::identifier("genpermission")},
         {QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(m_contactList)},
         {QStringLiteral("documentEntities"), Support::recordValues(records)},
         {QStringLiteral("generalACLPermission"), QVariant::fromValue(access)}});
}

void TQContactSharedFilesCommands::showSharingSettings(QObject*)
{
    const int row = selectedRow();
    QList<ManagedObjectPtr> records = m_contactList->selectedRecords();
    if (const ManagedObjectPtr last = m_contactList->recordAtRow(row); last && !records.contains(last))
        records = {last};
    if (records.isEmpty()) {
        TQLog("E: Called SharingSettings for no selection");
        return;
    }
    auto* settings =
        ViewClasses::make<TQFloatingContentController>(QLatin1String(SharingClasses::kSharingSettingsClass));
    if (!settings) {
        TQLog("E: No sharing settings for %lu items", records.size());
        return;
    }
    settings->setProperty("items", Support::recordValues(records));
    QuickShareDialogs::showCentred(window(), settings,
                                   StringTable::text(QStringLiteral("WindowSharingSettings")));
}

void TQContactSharedFilesCommands::toggleGenericPermission(QObject* sender)
{
    const ManagedObjectPtr record =
        UserInterfaceItem::representedObject(sender).value<std::shared_ptr<ManagedObject>>();
    if (record && !mayShare(record)) {
        showDenied("ChangeVisibilityDeniedMessage", QString());
        return;
    }
    TQAllItemsCommands::toggleGenericPermission(sender);
}

// --- Callbacks ---

void TQContactSharedFilesCommands::deleteDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    m_contactList->operationDidFinishWithResult(result, error);
}

void TQContactSharedFilesCommands::generalPermissionDidFinishWithResult(const QVariant& result,
                                                                        const QVariant& error)
{
    TQLog("Received general permission callback");
    m_contactList->operationDidFinishWithResult(result, error);
    if (!ActionError::errorFromValue(error).isNull())
        return;
    QList<ManagedObjectPtr> records;
    for (const QVariant& value : ActionNotifications::records(result))
        if (const ManagedObjectPtr record = value.value<ManagedObjectPtr>())
            records.append(record);
    copyLinks(records);
}

} // namespace tavrel
