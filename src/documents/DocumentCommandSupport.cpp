#include "documents/DocumentCommandSupport.h"

#include "chrome/TQActionProcessor.h"
#include "chrome/TQOpenPrefAction.h"
#include "controls/TQFloatingWindow.h"
#include "model/Category.h"
#include "model/File.h"
#include "model/Mail.h"
#include "model/ResourceIds.h"
#include "model/SharingRoles.h"
#include "model/TQACLEntry.h"
#include "model/TQPreferencesManager.h"
#include "model/TQStringExtensions.h"
#include "model/TQUtility.h"
#include "platform/system/DMTracker.h"
#include "platform/system/TQLog.h"
#include "platform/ui/Alert.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "session/ApplicationServices.h"
#include "session/ConnectionStatus.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"
#include "sharing/QuickShareDialogs.h"
#include "window/ActionRequests.h"
#include "window/TQFloatingContentController.h"
#include "window/TQNavigationController.h"
#include "window/TQNotificationController.h"
#include "window/TQViewController.h"
#include "window/ViewClasses.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QWidget>

namespace tavrel {

namespace {

const QString kDocumentEntities = QStringLiteral("documentEntities");
const QString kDocumentEntity = QStringLiteral("documentEntity");
const QString kStatusID = QStringLiteral("statusID");
const QString kProgressID = QStringLiteral("progressID");
const QString kProgressConsumer = QStringLiteral("progressConsumer");
const QString kActionCategory = QStringLiteral("Action");
const QString kSuppressAlertsKey = QStringLiteral("SuppressAlerts");
const QString kSuppressChangeOwnerAlertsKey = QStringLiteral("SuppressChangeOwnerAlerts");

std::shared_ptr<FileEntryAbstract> entryOf(const ManagedObjectPtr& record)
{
    return std::dynamic_pointer_cast<FileEntryAbstract>(record);
}

QVariant consumer(TQViewController* list)
{
    return QVariant::fromValue<QObject*>(list);
}

} // namespace

QString DocumentCommandSupport::username()
{
    TQSession* session = TQSessionManager::sharedManager()->currentSession();
    return session ? session->username() : QString();
}

QString DocumentCommandSupport::identifier(const char* verb)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(verb)).arg(ActionRequests::uniqueNumber());
}

void DocumentCommandSupport::trackUsage(const QString& category, const QString& name, const QString& value)
{
    DMTracker::defaultTracker()->trackEventInCategory(category, name, value);
}

void DocumentCommandSupport::trackMenuEvent(QObject* sender, QLatin1String selector)
{
    if (qobject_cast<QAction*>(sender))
        trackUsage(kActionCategory, QStringLiteral("ContextualMenu"), selector);
}

InvocationPtr DocumentCommandSupport::callback(QObject* target, QLatin1String selector)
{
    return Invocation::invocationForSelector(selector, target);
}

bool DocumentCommandSupport::isOnline()
{
    ConnectionStatus* status = ApplicationServices::instance()->connectionStatus();
    return status && status->isOnline();
}

bool DocumentCommandSupport::isCollection(const ManagedObjectPtr& record)
{
    return std::dynamic_pointer_cast<Category>(record) != nullptr;
}

bool DocumentCommandSupport::isMine(const ManagedObjectPtr& record)
{
    const auto entry = entryOf(record);
    return entry && SharingRoles::isOwner(*entry, username());
}

QString DocumentCommandSupport::titleOf(const ManagedObjectPtr& record)
{
    const auto entry = entryOf(record);
    return entry ? entry->title() : QString();
}

QVariantList DocumentCommandSupport::recordValues(const QList<ManagedObjectPtr>& records)
{
    QVariantList values;
    for (const ManagedObjectPtr& record : records)
        values.append(QVariant::fromValue(record));
    return values;
}

QWidget* DocumentCommandSupport::windowOf(TQViewController* list)
{
    return list && list->isViewLoaded() ? list->view()->window() : nullptr;
}

// --- Opening ---

void DocumentCommandSupport::openInBrowser(TQViewController* list, const ManagedObjectPtr& record)
{
    const auto entry = entryOf(record);
    if (!entry)
        return;
    const QUrl link(entry->alternateLink());
    if (link.isValid() && !link.isEmpty())
        QDesktopServices::openUrl(link);
    else
        TQLog("E: Cannot open <%@> in the browser: it has no link", entry->title());
    auto action = std::make_shared<TQOpenPrefAction>();
    TQActionProcessor::sharedActionProcessor()->pushAction(action);
    if (TQNotificationController* banner = list ? list->notificationController() : nullptr) {
        banner->setMessage(StringTable::text(QStringLiteral("EditLocallyTip")), action->name(),
                           StringTable::text(QStringLiteral("ActivateLocalEdit")));
        banner->showTooltip();
    }
    trackUsage(kActionCategory, QStringLiteral("OpenGoogleDocs"), QStringLiteral("Google Docs"));
}

void DocumentCommandSupport::openRecords(TQViewController* list, const QList<ManagedObjectPtr>& records,
                                         const QUrl& chosen)
{
    for (const ManagedObjectPtr& record : records) {
        const auto file = std::dynamic_pointer_cast<File>(record);
        if (!file)
            continue; // collections do not open
        QUrl application = chosen;
        TQLog("Opening Document: %@", file->title());
        TQLog("\t... with application: %@",
              application.isEmpty() ? QStringLiteral("Default") : application.toString());
        const QString resourceId = file->resourceId();
        const bool native = !ResourceIds::isStoredFile(resourceId);
        if (native && application.isEmpty())
            application = TQUtility::defaultApplicationForResourcesID(resourceId);
        if (native && application.isEmpty() && isOnline()) {
            openInBrowser(list, record);
        } else {
            QVariantMap parameters{{kDocumentEntity, QVariant::fromValue(record)},
                                   {kProgressID, identifier("openning")},
                                   {kProgressConsumer, consumer(list)}};
            if (!application.isEmpty())
                parameters.insert(QStringLiteral("applicationURL"), application);
            ActionRequests::executeDocumentAction(QStringLiteral("OpenDocument"), nullptr, parameters);
            trackUsage(kActionCategory, QStringLiteral("OpenNativeApp"),
                       application.isEmpty() ? QString() : QFileInfo(application.path()).fileName());
        }
        TQPreferencesManager::sharedManager()->addRecent(file->identifier());
    }
}

void DocumentCommandSupport::chooseApplication(TQViewController* list, std::function<void(const QUrl&)> open)
{
    auto* panel = new QFileDialog(windowOf(list));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setFileMode(QFileDialog::ExistingFile);
    panel->setDirectory(QStringLiteral("/usr/share/applications"));
    panel->setNameFilter(QStringLiteral("*.desktop"));
    panel->setLabelText(QFileDialog::Accept, StringTable::text(QStringLiteral("Choose")));
    panel->setWindowModality(Qt::WindowModal);
    // Qt's own dialog reports its choice by file names only (no urlsSelected): read it once accepted.
    QObject::connect(panel, &QFileDialog::finished, panel, [panel, open = std::move(open)](int result) {
        const QStringList files = panel->selectedFiles();
        if (result != QDialog::Accepted || files.isEmpty())
            return;
        open(QUrl::fromLocalFile(files.constLast()));
    });
    panel->open();
}

// --- Rename, star ---

void DocumentCommandSupport::renameRecord(TQViewController* list, const ManagedObjectPtr& record,
                                          const QString& newName)
{
    const auto entry = entryOf(record);
    if (!entry || newName.isEmpty() || newName == entry->title())
        return;
    ActionRequests::executeDocumentAction(QStringLiteral("RenameDocument"),
                                          callback(list, Selectors::operationDidFinish),
                                          {{QStringLiteral("newName"), newName},
                                           {kDocumentEntity, QVariant::fromValue(record)},
                                           {kStatusID, identifier("rename")},
                                           {kProgressConsumer, consumer(list)}});
}

void DocumentCommandSupport::toggleStar(TQViewController* list, const QList<ManagedObjectPtr>& items)
{
    bool target = true;
    if (!items.isEmpty()) {
        bool allSame = true;
        const auto first = entryOf(items.constFirst());
        const bool firstState = first && first->isStarred();
        for (const ManagedObjectPtr& record : items) {
            const auto entry = entryOf(record);
            allSame = allSame && (entry && entry->isStarred()) == firstState;
        }
        if (allSame)
            target = !firstState;
    }
    QVariantList toChange;
    for (const ManagedObjectPtr& record : items) {
        const auto entry = entryOf(record);
        if (entry && entry->isStarred() != target)
            toChange.append(QVariant::fromValue(record));
    }
    ActionRequests::executeDocumentAction(QStringLiteral("StarredDocuments"),
                                          callback(list, Selectors::operationDidFinish),
                                          {{kDocumentEntities, toChange},
                                           {QStringLiteral("isStarred"), target},
                                           {kStatusID, identifier("starred")},
                                           {kProgressConsumer, consumer(list)}});
}

// --- Trash or remove ---

static void sendTrashAndRemove(TQViewController* list, QObject* target,
                               const QList<ManagedObjectPtr>& toTrash,
                               const QList<ManagedObjectPtr>& toDelete)
{
    using Support = DocumentCommandSupport;
    if (!toTrash.isEmpty()) {
        TQLog("Trashing: %u documents", toTrash.size());
        ActionRequests::executeDocumentAction(QStringLiteral("TrashDocuments"),
                                              Support::callback(target, Selectors::documentsDidTrash),
                                              {{kDocumentEntities, Support::recordValues(toTrash)},
                                               {kStatusID, Support::identifier("trashing")},
                                               {kProgressConsumer, consumer(list)}});
    }
    if (!toDelete.isEmpty()) {
        TQLog("Trashing: %u documents", toDelete.size());
        ActionRequests::executeDocumentAction(QStringLiteral("DeleteDocuments"),
                                              Support::callback(target, Selectors::documentsDidDelete),
                                              {{kDocumentEntities, Support::recordValues(toDelete)},
                                               {kStatusID, Support::identifier("trashing")},
                                               {kProgressConsumer, consumer(list)}});
    }
    Support::trackUsage(QStringLiteral("Toolbar"), QStringLiteral("Delete"), QStringLiteral("Document"));
}

void DocumentCommandSupport::trashOrRemove(TQViewController* list, QObject* target,
                                           const QList<ManagedObjectPtr>& records)
{
    QList<ManagedObjectPtr> toTrash;
    QList<ManagedObjectPtr> toDelete;
    for (const ManagedObjectPtr& record : records)
        (isMine(record) ? toTrash : toDelete).append(record);
    if (toDelete.isEmpty() || Alert::isSuppressed(kSuppressAlertsKey)) {
        sendTrashAndRemove(list, target, toTrash, toDelete);
        return;
    }
    auto* alert = new Alert;
    alert->setMessageText(StringTable::text(QStringLiteral("TrashItemTitle")));
    alert->setDefaultButtonTitle(StringTable::text(QStringLiteral("OK")));
    alert->setAlternateButtonTitle(StringTable::text(QStringLiteral("Cancel")));
    alert->setInformativeText(
        toDelete.size() == 1
            ? StringTable::format(QStringLiteral("TrashItemMessage"), titleOf(toDelete.first()))
            : StringTable::format(QStringLiteral("TrashManyItemsMessage"), toDelete.size()));
    alert->setShowsSuppressionButton(true);
    alert->setSuppressionButtonTitle(StringTable::text(QStringLiteral("DontAskAgain")));
    alert->setSuppressionKey(kSuppressAlertsKey);
    QPointer<TQViewController> self(list);
    QPointer<QObject> answer(target);
    alert->beginSheet(windowOf(list), [self, answer, toTrash, toDelete](int response, bool) {
        if (self && answer && response == Alert::DefaultResponse)
            sendTrashAndRemove(self, answer, toTrash, toDelete);
    });
}

// --- Owner ---

static void giveOwnership(TQViewController* list, const QList<ManagedObjectPtr>& records,
                          const std::shared_ptr<Mail>& candidate)
{
    using Support = DocumentCommandSupport;
    TQACLEntry owner(TQACLEntry::User, TQACLEntry::Owner, candidate->address());
    owner.setDisplayName(candidate->displayName());
    TQACLEntry writer(TQACLEntry::User, TQACLEntry::Writer, Support::username());
    ActionRequests::executeDocumentAction(
        QStringLiteral("SetPermissions"), Support::callback(list, Selectors::operationDidFinish),
        {{kDocumentEntities, Support::recordValues(records)},
         {QStringLiteral("ACLEntries"),
          QVariantList{QVariant::fromValue(owner), QVariant::fromValue(writer)}},
         {kStatusID, Support::identifier("changeowner")},
         {kProgressConsumer, consumer(list)}});
}

void DocumentCommandSupport::changeOwnership(TQViewController* list, QObject* sender,
                                             const QList<ManagedObjectPtr>& records, bool warnOfOtherDomains)
{
    const auto candidate = std::dynamic_pointer_cast<Mail>(
        UserInterfaceItem::representedObject(sender).value<std::shared_ptr<ManagedObject>>());
    QWidget* window = windowOf(list);
    if (!candidate) {
        auto* dialog =
            ViewClasses::make<TQFloatingContentController>(QStringLiteral("TQChangeOwnerController"));
        if (!dialog) {
            TQLog("E: No change-owner dialog for %lu items", records.size());
            return;
        }
        dialog->setProperty("item", records.size() == 1 ? QVariant::fromValue(records.first())
                                                        : QVariant(recordValues(records)));
        // The dialog goes with its window.
        QuickShareDialogs::showCentred(window, dialog);
        return;
    }
    if (warnOfOtherDomains && !TQStringExtensions::hasSameDomainAs(candidate->address(), username()) &&
        !Alert::isSuppressed(kSuppressChangeOwnerAlertsKey)) {
        auto* warning = new Alert;
        warning->setMessageText(
            StringTable::format(QStringLiteral("WrongDomainTitle"), candidate->address()));
        warning->setDefaultButtonTitle(StringTable::text(QStringLiteral("OK")));
        warning->setInformativeText(StringTable::text(QStringLiteral("WrongDomainMessage")));
        warning->setShowsSuppressionButton(true);
        warning->setSuppressionKey(kSuppressChangeOwnerAlertsKey);
        warning->beginSheet(window, nullptr); // the owner stays: the box only remembers the choice
        return;
    }
    auto* confirm = new Alert;
    confirm->setMessageText(StringTable::text(QStringLiteral("ChangeOwnerTitle")));
    confirm->setDefaultButtonTitle(StringTable::text(QStringLiteral("OK")));
    confirm->setAlternateButtonTitle(StringTable::text(QStringLiteral("Cancel")));
    confirm->setInformativeText(
        StringTable::format(QStringLiteral("ChangeOwnerMessage"), candidate->displayName()));
    QPointer<TQViewController> self(list);
    confirm->beginSheet(window, [self, records, candidate](int response, bool) {
        if (self && response == Alert::DefaultResponse)
            giveOwnership(self, records, candidate);
    });
}

// --- Details ---

void DocumentCommandSupport::showDetails(TQViewController* list, const ManagedObjectPtr& record, int filter)
{
    if (!record)
        return;
    TQLog("Show details: %@", titleOf(record));
    auto* details = ViewClasses::make<TQViewController>(QStringLiteral("TQFileViewController"));
    if (details) {
        details->setProperty("initialFilter", filter);
        details->setProperty("item", QVariant::fromValue(record));
        if (TQNavigationController* navigation = list ? list->navigationController() : nullptr)
            navigation->pushController(details);
        else if (!ViewClasses::isShared(QStringLiteral("TQFileViewController")))
            delete details;
    } else {
        TQLog("E: No detail view to show %@", titleOf(record));
    }
    static const char* const values[] = {"Preview", "Sharing Details", "Organize"};
    trackUsage(QStringLiteral("Navigation"),
               isCollection(record) ? QStringLiteral("PersonalProfile") : QStringLiteral("FileView"),
               QLatin1String(values[qBound(0, filter, 2)]));
}

} // namespace tavrel
