// The sharing commands of the all-items list: the share command of the menus and a row's share
// button open the share-with dialog for the documents the user may share; the quick share decides
// which sharing view fits; get link copies the documents' links.

#include "controls/TQTableView.h"
#include "documents/TQAllItemsCommands.h"
#include "documents/TQAllItemsController.h"
#include "lists/QuickShareDecision.h"
#include "lists/QuickSharePresenter.h"
#include "model/FileEntryAbstract.h"
#include "model/GeneralACLPermission.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "platform/runtime/Invocation.h"
#include "platform/system/DMTracker.h"
#include "platform/system/TQLog.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "sharing/QuickShareDialogs.h"
#include "sharing/SharingClasses.h"
#include "sharing/SharingPermissions.h"
#include "window/ActionError.h"
#include "window/ActionNotifications.h"
#include "window/ActionRequests.h"
#include "window/TQFloatingContentController.h"
#include "window/TQMainWindowController.h"
#include "window/ViewClasses.h"

#include <QAction>
#include <QMenu>

namespace tavrel {

namespace {

void trackShare(const QString& name)
{
    DMTracker::defaultTracker()->trackEventInCategory(QStringLiteral("Share"), name, QString());
}

// The middle of the row's right edge, moved 2 points beyond the window's right edge, in the window's
// coordinates; the null point without a row.
QPoint anchorOfRow(TQAllItemsController* list, int row)
{
    TQTableView* table = list->tableView();
    if (row < 0 || !table)
        return {};
    const QRect rect = table->visualRect(table->model()->index(row, 0));
    QWidget* window = table->window();
    const QPoint middle = table->viewport()->mapTo(window, QPoint(rect.right(), rect.center().y()));
    return {window->width() + 2, middle.y()};
}

} // namespace

void TQAllItemsCommands::share(QObject* sender)
{
    auto* item = qobject_cast<QAction*>(sender);
    if (item)
        DMTracker::defaultTracker()->trackEventInCategory(QStringLiteral("Action"),
                                                          QStringLiteral("ContextualMenu"), Commands::share);
    shareNonTracked(sender);
    if (item) {
        bool fromRowMenu = false;
        for (QObject* holder : item->associatedObjects())
            fromRowMenu = fromRowMenu || holder == m_list->rowMenu();
        trackShare(fromRowMenu ? QStringLiteral("ContextualMenu") : QStringLiteral("MenuBar"));
    }
}

void TQAllItemsCommands::shareOneWith(QObject* sender)
{
    const int row = m_list->pressedRow();
    const ManagedObjectPtr record = m_list->recordAtRow(row);
    if (m_rowShareDialog && m_rowShareDialog->isVisible() && record && record == m_rowShareRecord) {
        // The second press on the button closes what the first opened.
        m_rowShareDialog->close();
        m_rowShareDialog = nullptr;
        m_rowShareRecord = nullptr;
        trackShare(QStringLiteral("Button Share"));
        return;
    }
    if (row >= 0 && m_list->tableView())
        m_list->tableView()->selectRowIndexes({row}, false);
    m_rowShareDialog = nullptr;
    shareNonTracked(sender);
    m_rowShareRecord = m_rowShareDialog ? record : nullptr;
    trackShare(QStringLiteral("Button Share"));
}

void TQAllItemsCommands::shareNonTracked(QObject*)
{
    QList<int> rows = m_list->selectedRows();
    const int clicked = m_list->clickedRow();
    if (clicked >= 0)
        rows = {clicked};
    const QString username = SharingPermissions::username();
    QList<ManagedObjectPtr> permitted;
    QList<int> permittedRows;
    for (const int row : std::as_const(rows)) {
        const ManagedObjectPtr record = m_list->recordAtRow(row);
        const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
        if (entry && SharingPermissions::mayChangeVisibility(*entry, username)) {
            permitted.append(record);
            permittedRows.append(row);
        }
    }
    if (permitted.isEmpty()) {
        if (!rows.isEmpty())
            SharingPermissions::showShareDenied();
        return;
    }
    if (permitted.size() >= rows.size()) {
        shareWithForSelection(permitted, anchorOfRow(m_list, clicked >= 0 ? clicked : m_list->pressedRow()));
        return;
    }
    // Some may not be shared: the user decides whether the others go anyway.
    auto* alert = new Alert;
    alert->setMessageText(
        StringTable::format(QStringLiteral("MixedPermissionTitle"), rows.size() - permitted.size()));
    alert->setDefaultButtonTitle(StringTable::text(QStringLiteral("OK")));
    alert->setAlternateButtonTitle(StringTable::text(QStringLiteral("Cancel")));
    alert->setInformativeText(StringTable::text(QStringLiteral("MixedPermissionMessage")));
    const QPointer<TQAllItemsCommands> self(this);
    alert->beginSheet(window(), [self, permittedRows](int response, bool) {
        if (!self || response != Alert::DefaultResponse || !self->list()->tableView())
            return;
        self->list()->tableView()->selectRowIndexes(permittedRows, false);
        self->shareWithForSelection(self->list()->selectedRecords(), QPoint());
    });
}

void TQAllItemsCommands::shareWithForSelection(const QList<ManagedObjectPtr>& records, const QPoint& point)
{
    auto* dialog = ViewClasses::make<TQFloatingContentController>(TQMainWindowController::kShareWithClass);
    if (!dialog)
        return;
    QVariantList values;
    for (const ManagedObjectPtr& record : records)
        values.append(QVariant::fromValue(record));
    dialog->setProperty("item", values.size() == 1 ? values.constFirst() : QVariant(values));
    QWidget* from = m_list->isViewLoaded() ? m_list->view() : nullptr;
    m_rowShareDialog = QuickShareDialogs::showQuickShareDialog(
        from, dialog, values, QuickShareDialogs::pointBesideWindow(from, point, dialog->view()->size()));
}

void TQAllItemsCommands::shareWith(QObject*)
{
    const QList<ManagedObjectPtr> records = m_list->selectedRecords();
    if (records.isEmpty()) {
        TQLog("E: Called share with... for no selection");
        return;
    }
    shareWithForSelection(records, anchorOfRow(m_list, m_list->clickedRow()));
}

void TQAllItemsCommands::shareOne(QObject*)
{
    const QList<ManagedObjectPtr> records = m_list->selectedRecords();
    if (!records.isEmpty())
        shareForSelection({records.constLast()});
}

void TQAllItemsCommands::shareForSelection(const QList<ManagedObjectPtr>& records)
{
    if (records.isEmpty()) {
        TQLog("E: Called quick share for no selection");
        return;
    }
    const QList<int> selected = m_list->selectedRows();
    const QPoint point = anchorOfRow(m_list, selected.isEmpty() ? -1 : selected.constLast());
    const QPointer<TQAllItemsCommands> self(this);
    QuickSharePresenter::share(
        m_list, records, point,
        [self](const QList<ManagedObjectPtr>& documents, const QPoint& at) {
            if (self && !documents.isEmpty())
                self->shareWithForSelection(documents, at);
        },
        [self](const ManagedObjectPtr& record) {
            if (!self || !self->list()->tableView())
                return;
            const int row = self->list()->rowOfRecord(record);
            QList<int> rows = self->list()->selectedRows();
            if (row >= 0 && rows.removeAll(row) > 0)
                self->list()->tableView()->selectRowIndexes(rows, false);
        });
}

void TQAllItemsCommands::showSharingSettings(QObject*)
{
    QList<ManagedObjectPtr> records = m_list->selectedRecords();
    if (records.isEmpty()) {
        TQLog("E: Called SharingSettings for no selection");
        return;
    }
    auto* settings =
        ViewClasses::make<TQFloatingContentController>(QLatin1String(SharingClasses::kSharingSettingsClass));
    if (!settings)
        return;
    QVariantList values;
    for (const ManagedObjectPtr& record : std::as_const(records))
        values.append(QVariant::fromValue(record));
    settings->setProperty("items", values);
    QuickShareDialogs::showCentred(m_list->isViewLoaded() ? m_list->view() : nullptr, settings,
                                   StringTable::text(QStringLiteral("WindowSharingSettings")));
}

void TQAllItemsCommands::getLinkToShare(QObject* sender)
{
    if (qobject_cast<QAction*>(sender))
        DMTracker::defaultTracker()->trackEventInCategory(
            QStringLiteral("Action"), QStringLiteral("ContextualMenu"), Commands::getLinkToShare);
    const QList<int> rows = m_list->selectedRows();
    const QString username = SharingPermissions::username();
    QList<ManagedObjectPtr> permitted;
    QList<int> permittedRows;
    for (const int row : rows) {
        const ManagedObjectPtr record = m_list->recordAtRow(row);
        if (QuickShareDecision::isPermitted(record, username)) {
            permitted.append(record);
            permittedRows.append(row);
        }
    }
    if (permitted.isEmpty()) {
        // Nothing to copy is said, not left silent.
        if (!rows.isEmpty())
            QuickSharePresenter::showDenied(m_list);
        return;
    }
    if (permitted.size() >= rows.size()) {
        shareLinkWithForSelection(permitted);
        return;
    }
    auto* alert = new Alert;
    alert->setMessageText(
        StringTable::format(QStringLiteral("MixedPermissionTitle"), rows.size() - permitted.size()));
    alert->setDefaultButtonTitle(StringTable::text(QStringLiteral("OK")));
    alert->setAlternateButtonTitle(StringTable::text(QStringLiteral("Cancel")));
    alert->setInformativeText(StringTable::text(QStringLiteral("MixedLinkPermissionMessage")));
    const QPointer<TQAllItemsCommands> self(this);
    alert->beginSheet(window(), [self, permittedRows](int response, bool) {
        if (!self || response != Alert::DefaultResponse || !self->list()->tableView())
            return;
        self->list()->tableView()->selectRowIndexes(permittedRows, false);
        self->shareLinkWithForSelection(self->list()->selectedRecords());
    });
}

namespace {

// Copies the links and announces them once: the title of the one document, else their count.
void copyLinks(const QStringList& links, const QString& lastTitle)
{
    QList<QUrl> urls;
    for (const QString& link : links)
        urls.append(QUrl(link));
    Clipboard::clear();
    Clipboard::writeURLs(urls);
    ActionNotifications::post(ActionNotifications::titleForCount(lastTitle, links.size()),
                              StringTable::text(QStringLiteral("LinkPermissionFormat")));
}

} // namespace

void TQAllItemsCommands::shareLinkWithForSelection(const QList<ManagedObjectPtr>& records)
{
    QStringList links;
    QVariantList documents;
    QString lastTitle;
    for (const ManagedObjectPtr& record : records) {
        const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
        if (!entry)
            continue;
        documents.append(QVariant::fromValue(record));
        lastTitle = entry->title();
        const auto access = entry->generalACL();
        if (access && access->hasLink().toBool() && !entry->alternateLink().isEmpty())
            links.append(entry->alternateLink());
    }
    if (documents.isEmpty())
        return;
    if (links.size() < documents.size()) {
        auto access = GeneralACLPermissionAdapter::generalACLPermissionAdapterWithUsername(
            SharingPermissions::username());
        access->setRole(QStringLiteral("reader"));
        access->setType(QStringLiteral("default"));
        access->setHasLink(true);
        TQLog("Changing generic permission: %lu documents", qulonglong(documents.size()));
        ActionRequests::executeDocumentAction(
            QStringLiteral("SetGeneralACLPermissions"),
            Invocation::invocationForSelector(Selectors::generalPermissionDidFinish, this),
            {{QStringLiteral("statusID"),
              SharingPermissions::statusIdentifier(QStringLiteral("genpermission"), &records)},
             {QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(m_list)},
             {QStringLiteral("documentEntities"), documents},
             {QStringLiteral("generalACLPermission"), QVariant::fromValue(access)}});
        return;
    }
    copyLinks(links, lastTitle);
}

void TQAllItemsCommands::generalPermissionDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    TQLog("Received general permission callback");
    m_list->operationDidFinishWithResult(result, error);
    if (!ActionError::errorFromValue(error).isNull())
        return;
    QStringList links;
    QString lastTitle;
    for (const QVariant& value : ActionNotifications::records(result)) {
        const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(value.value<ManagedObjectPtr>());
        if (!entry)
            continue;
        lastTitle = entry->title();
        if (entry->generalACL() && !entry->alternateLink().isEmpty())
            links.append(entry->alternateLink());
    }
    if (!links.isEmpty())
        copyLinks(links, lastTitle);
}

} // namespace tavrel
