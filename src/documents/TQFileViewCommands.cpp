// The document commands of the detail view, for its one record, and the callbacks of their actions.

#include "chrome/TQActionProcessor.h"
#include "chrome/TQFilterbarController.h"
#include "chrome/TQOpenPrefAction.h"
#include "chrome/TQTextFilterbar.h"
#include "documents/ChangeOwnerMenu.h"
#include "documents/DocumentCommandSupport.h"
#include "documents/TQCopyHelper.h"
#include "documents/TQFileViewController.h"
#include "model/Category.h"
#include "model/File.h"
#include "model/GeneralACLPermission.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "model/Mail.h"
#include "model/ResourceIds.h"
#include "model/TQUtility.h"
#include "platform/runtime/Invocation.h"
#include "platform/system/DMTracker.h"
#include "platform/system/TQLog.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "progress/TQProgressManager.h"
#include "session/ApplicationServices.h"
#include "session/ConnectionStatus.h"
#include "window/ActionError.h"
#include "window/ActionRequests.h"
#include "window/INewGroupSheet.h"
#include "window/TQMainWindowController.h"
#include "window/TQNotificationController.h"
#include "window/ViewClasses.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QPushButton>

namespace tavrel {

namespace {

const QString kDocumentEntity = QStringLiteral("documentEntity");
const QString kDocumentEntities = QStringLiteral("documentEntities");
const QString kStatusID = QStringLiteral("statusID");
const QString kProgressConsumer = QStringLiteral("progressConsumer");
const QString kSuppressAlertsKey = QStringLiteral("SuppressAlerts");

QString numbered(const char* verb)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(verb)).arg(ActionRequests::uniqueNumber());
}

void trackUsage(const QString& category, const QString& name, const QString& value)
{
    DMTracker::defaultTracker()->trackEventInCategory(category, name, value);
}

void trackMenuEvent(QObject* sender, QLatin1String selector)
{
    if (qobject_cast<QAction*>(sender))
        trackUsage(QStringLiteral("Action"), QStringLiteral("ContextualMenu"), selector);
}

bool isOnline()
{
    ConnectionStatus* status = ApplicationServices::instance()->connectionStatus();
    return status && status->isOnline();
}

bool failed(const QVariant& error)
{
    return error.isValid() && !error.value<Error>().isNull();
}

TQMainWindowController* mainWindowControllerOf(QWidget* view)
{
    if (!view)
        return nullptr;
    for (QObject* responder : ResponderChain::chain(view))
        if (auto* controller = qobject_cast<TQMainWindowController*>(responder))
            return controller;
    return nullptr;
}

} // namespace

// --- Open ---

void TQFileViewController::editEntity(QObject* sender)
{
    if (!m_item)
        return;
    if (isCollection()) {
        TQLog("E: Opening collection is not supported: %@", m_item->title());
        return;
    }
    QUrl application;
    if (qobject_cast<QAction*>(sender))
        application = UserInterfaceItem::representedObject(sender).toUrl();
    TQLog("Opening Document: %@", m_item->title());
    const QString resourceId = m_item->resourceId();
    const bool native = !ResourceIds::isStoredFile(resourceId);
    if (native && application.isEmpty())
        application = TQUtility::defaultApplicationForResourcesID(resourceId);
    if (native && application.isEmpty() && isOnline()) {
        openInBrowser(nullptr);
        return;
    }
    QVariantMap parameters{
        {kDocumentEntity, QVariant::fromValue(ManagedObjectPtr(m_item))},
        {QStringLiteral("progressID"), numbered("openning")},
        {kProgressConsumer, QVariant::fromValue<QObject*>(TQProgressManager::progressManager())}};
    if (!application.isEmpty())
        parameters.insert(QStringLiteral("applicationURL"), application);
    ActionRequests::executeDocumentAction(QStringLiteral("OpenDocument"), nullptr, parameters);
    trackUsage(QStringLiteral("Action"), QStringLiteral("OpenNativeApp"), application.fileName());
}

void TQFileViewController::openFile(QObject*)
{
    editEntity(nullptr);
}

void TQFileViewController::openWith(QObject* sender)
{
    trackMenuEvent(sender, Commands::openWith);
    if (UserInterfaceItem::representedObject(sender).isValid())
        editEntity(sender);
}

void TQFileViewController::openInBrowser(QObject* sender)
{
    trackMenuEvent(sender, Commands::openInBrowser);
    if (!m_item)
        return;
    const QUrl link(m_item->alternateLink());
    if (link.isValid() && !link.isEmpty())
        QDesktopServices::openUrl(link);
    else
        TQLog("E: Cannot open <%@> in the browser: it has no link", m_item->title());
    auto action = std::make_shared<TQOpenPrefAction>();
    TQActionProcessor::sharedActionProcessor()->pushAction(action);
    if (TQNotificationController* banner = notificationController()) {
        banner->setMessage(StringTable::text(QStringLiteral("EditLocallyTip")), action->name(),
                           StringTable::text(QStringLiteral("ActivateLocalEdit")));
        banner->showTooltip();
    }
    trackUsage(QStringLiteral("Action"), QStringLiteral("OpenGoogleDocs"), QStringLiteral("Google Docs"));
}

// --- Link and visibility ---

static void refuseVisibility(TQViewController* view)
{
    if (TQNotificationController* banner = view->notificationController()) {
        banner->setMessage(StringTable::text(QStringLiteral("ChangeVisibilityDeniedMessage")), QString(),
                           StringTable::text(QStringLiteral("RequestRightsAction")));
        banner->showNotification();
    }
}

void TQFileViewController::getLinkToShare(QObject* sender)
{
    trackMenuEvent(sender, Commands::getLinkToShare);
    if (!m_item)
        return;
    const auto acl = m_item->generalACL();
    if (acl && acl->hasLink().toBool()) {
        copyAndAnnounceLink(QVariantList{QVariant::fromValue(ManagedObjectPtr(m_item))});
        return;
    }
    if (!maySharing()) {
        refuseVisibility(this);
        return;
    }
    auto access = GeneralACLPermissionAdapter::generalACLPermissionAdapterWithUsername(username());
    access->setRole(QStringLiteral("reader"));
    access->setType(QStringLiteral("default"));
    access->setHasLink(true);
    if (acl)
        access->setXml(acl->xml());
    TQLog("Changing generic permission: %@", m_item->title());
    ActionRequests::executeDocumentAction(
        QStringLiteral("SetGeneralACLPermission"),
        Invocation::invocationForSelector(Selectors::generalPermissionDidFinish, this),
        {{kStatusID, numbered("genpermission")},
         {kProgressConsumer, requestConsumer()},
         {kDocumentEntity, QVariant::fromValue(ManagedObjectPtr(m_item))},
         {QStringLiteral("generalACLPermission"), QVariant::fromValue(access)}});
}

void TQFileViewController::changePrivacySettings(QObject* sender)
{
    changePrivacyToEntry(UserInterfaceItem::tag(sender));
}

void TQFileViewController::changePrivacyToEntry(int entry)
{
    if (!m_item)
        return;
    if (!maySharing()) {
        refuseVisibility(this);
        invalidate();
        return;
    }
    QVariantMap parameters{{kStatusID, numbered("genpermission")},
                           {kProgressConsumer, requestConsumer()},
                           {kDocumentEntity, QVariant::fromValue(ManagedObjectPtr(m_item))}};
    if (entry >= PrivacyLink) {
        auto access = GeneralACLPermissionAdapter::generalACLPermissionAdapterWithUsername(username());
        access->setRole(QStringLiteral("reader"));
        access->setType(entry <= PrivacyPublic ? QStringLiteral("default") : QStringLiteral("domain"));
        access->setHasLink(entry == PrivacyLink || entry == PrivacyDomainLink);
        if (const auto acl = m_item->generalACL())
            access->setXml(acl->xml());
        parameters.insert(QStringLiteral("generalACLPermission"), QVariant::fromValue(access));
    }
    TQLog("Changing generic permission: %@", m_item->title());
    ActionRequests::executeDocumentAction(
        QStringLiteral("SetGeneralACLPermission"),
        Invocation::invocationForSelector(Selectors::setGenPermissionDidFinish, this), parameters);
}

void TQFileViewController::copyAndAnnounceLink(const QVariant& result)
{
    QList<QUrl> links;
    const QVariantList answered = result.canConvert<QVariantList>() ? result.toList() : QVariantList{result};
    for (const QVariant& value : answered) {
        const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(value.value<ManagedObjectPtr>());
        const auto acl = entry ? entry->generalACL() : nullptr;
        if (acl && acl->hasLink().toBool() && !entry->alternateLink().isEmpty())
            links.append(QUrl(entry->alternateLink()));
    }
    if (links.isEmpty())
        return;
    Clipboard::writeURLs(links);
    if (TQNotificationController* banner = notificationController()) {
        banner->setMessage(StringTable::text(QStringLiteral("LinkPermissionFormat")));
        banner->showNotification();
    }
}

// --- Tabs ---

void TQFileViewController::activateTab(int index, const char* usageValue)
{
    TQViewController* tab = tabController(index);
    if (!tab || !m_filterbar)
        return;
    const int button = int(m_filterController->controllers().indexOf(tab));
    m_filterbar->activateButtonAtIndex(button);
    if (usageValue)
        trackUsage(QStringLiteral("Navigation"), QStringLiteral("FileView"), QLatin1String(usageValue));
}

void TQFileViewController::showPreview(QObject* sender)
{
    trackMenuEvent(sender, Commands::showPreview);
    activateTab(0, "Preview");
}

void TQFileViewController::showSharingContacts(QObject* sender)
{
    trackMenuEvent(sender, Commands::showSharingContacts);
    activateTab(1, "Sharing Details");
}

void TQFileViewController::showItemContacts(QObject*)
{
    activateTab(1, nullptr);
}

void TQFileViewController::organize(QObject* sender)
{
    trackMenuEvent(sender, Commands::organize);
    activateTab(2, "Organize");
}

// --- Rename, download, share ---

void TQFileViewController::rename(QObject* sender)
{
    trackMenuEvent(sender, Commands::rename);
    QObject* made = ViewClasses::make<QObject>(kRenameClass);
    auto* sheet = dynamic_cast<INewGroupSheet*>(made);
    if (!sheet) {
        delete made;
        return;
    }
    made->setProperty("item", QVariant::fromValue(ManagedObjectPtr(m_item)));
    sheet->showWindowModalToWindow(view()->window());
}

void TQFileViewController::changeOwnership(QObject* sender)
{
    trackMenuEvent(sender, Commands::changeOwnership);
    if (m_item)
        DocumentCommandSupport::changeOwnership(this, sender, {ManagedObjectPtr(m_item)}, false);
}

void TQFileViewController::download(QObject* sender)
{
    trackMenuEvent(sender, Commands::download);
    if (!m_item)
        return;
    TQLog("Downloading Document: %@", m_item->title());
    ActionRequests::executeDocumentAction(
        QStringLiteral("GetFile"), Invocation::invocationForSelector(Selectors::downloadDidFinish, this),
        {{kDocumentEntity, QVariant::fromValue(ManagedObjectPtr(m_item))},
         {QStringLiteral("progressID"), numbered("download")},
         {kProgressConsumer, requestConsumer()}});
}

void TQFileViewController::share(QObject* sender)
{
    trackMenuEvent(sender, Commands::share);
    TQMainWindowController* window = mainWindowControllerOf(view());
    auto* dialog = ViewClasses::make<TQViewController>(TQMainWindowController::kShareWithClass);
    if (!window || !dialog) {
        delete dialog;
        return;
    }
    dialog->setProperty("item", QVariant::fromValue(ManagedObjectPtr(m_item)));
    QMetaObject::invokeMethod(dialog, "setItem",
                              Q_ARG(QVariant, QVariant::fromValue(ManagedObjectPtr(m_item))));
    if (QWidget* shown = window->showQuickShareDialogForContent(dialog->view(), dialog, {}, QPoint()))
        connect(shown, &QObject::destroyed, this, [this] { invalidate(); });
}

// --- Trash, star ---

void TQFileViewController::deleteEntity(QObject*)
{
    if (!m_item)
        return;
    const bool mine = isMine();
    const QPointer<TQFileViewController> self(this);
    auto run = [self, mine] {
        if (!self)
            return;
        const QVariantMap parameters{
            {kDocumentEntities, QVariantList{QVariant::fromValue(ManagedObjectPtr(self->m_item))}},
            {kStatusID, numbered("trashing")},
            {kProgressConsumer, self->requestConsumer()}};
        TQLog("Trashing: %u documents", 1);
        ActionRequests::executeDocumentAction(
            mine ? QStringLiteral("TrashDocuments") : QStringLiteral("DeleteDocuments"),
            Invocation::invocationForSelector(
                mine ? Selectors::documentsDidTrash : Selectors::documentsDidDelete, self.data()),
            parameters);
        trackUsage(QStringLiteral("Toolbar"), QStringLiteral("Delete"), QStringLiteral("Document"));
    };
    if (mine || Alert::isSuppressed(kSuppressAlertsKey)) {
        run();
        return;
    }
    auto* alert = new Alert;
    alert->setMessageText(StringTable::text(QStringLiteral("TrashItemTitle")));
    alert->setDefaultButtonTitle(StringTable::text(QStringLiteral("OK")));
    alert->setAlternateButtonTitle(StringTable::text(QStringLiteral("Cancel")));
    alert->setInformativeText(StringTable::format(QStringLiteral("TrashItemMessage"), m_item->title()));
    alert->setShowsSuppressionButton(true);
    alert->setSuppressionButtonTitle(StringTable::text(QStringLiteral("DontAskAgain")));
    alert->setSuppressionKey(kSuppressAlertsKey);
    alert->beginSheet(view()->window(), [run](int response, bool) {
        if (response == Alert::DefaultResponse)
            run();
    });
}

void TQFileViewController::applyStarState(QObject*)
{
    if (!m_item)
        return;
    ActionRequests::executeDocumentAction(
        QStringLiteral("StarredDocuments"),
        Invocation::invocationForSelector(Selectors::operationDidFinish, this),
        {{kDocumentEntities, QVariantList{QVariant::fromValue(ManagedObjectPtr(m_item))}},
         {QStringLiteral("isStarred"), m_item->isStarred()},
         {kStatusID, numbered("starred")},
         {kProgressConsumer, requestConsumer()}});
}

void TQFileViewController::toggleStarState(QObject* sender)
{
    trackMenuEvent(sender, Commands::toggleStarState);
    if (!m_item)
        return;
    ActionRequests::executeDocumentAction(
        QStringLiteral("StarredDocuments"),
        Invocation::invocationForSelector(Selectors::operationDidFinish, this),
        {{kDocumentEntities, QVariantList{QVariant::fromValue(ManagedObjectPtr(m_item))}},
         {QStringLiteral("isStarred"), !m_item->isStarred()},
         {kStatusID, numbered("starred")},
         {kProgressConsumer, requestConsumer()}});
}

// --- Validation ---

bool TQFileViewController::validateUserInterfaceItem(QObject* item)
{
    TQViewController::validateUserInterfaceItem(item);
    const QString command = UserInterfaceItem::command(item);
    auto* action = qobject_cast<QAction*>(item);
    bool verdict = true;
    bool shown = true;
    if (command == Commands::share || command == Commands::deleteEntity) {
        verdict = true;
    } else if (command == Commands::newFakeAction) {
        verdict = isCollection();
    } else if (command == Commands::editEntity || command == Commands::openFile ||
               command == Commands::openWith || command == Commands::open) {
        verdict = !isCollection();
    } else if (command == Commands::uploadFilesOrFolder) {
        verdict = isCollection();
    } else if (command == Commands::toggleStarState) {
        UserInterfaceItem::setTitle(item, StringTable::text(m_item && m_item->isStarred()
                                                                ? QStringLiteral("MenuRemoveStar")
                                                                : QStringLiteral("MenuAddStar")));
    } else if (command == Commands::openInBrowser && UserInterfaceItem::tag(item) == kOpenInBrowserTag) {
        verdict = isOnline();
    } else if (command == Commands::showPreview) {
        shown = tabController(0) != nullptr;
    } else if (command == Commands::showSharingContacts || command == Commands::showItemContacts) {
        shown = tabController(1) != nullptr;
    } else if (command == Commands::organize) {
        shown = tabController(2) != nullptr;
    } else if (command == Commands::rename) {
        shown = ViewClasses::hasClass(kRenameClass);
    } else if (command == Commands::share) {
        shown = ViewClasses::hasClass(TQMainWindowController::kShareWithClass);
    } else if (command == Commands::download) {
        verdict = !isCollection();
    } else if (command == Commands::changeOwnership && UserInterfaceItem::tag(item) == kChangeOwnerTag) {
        // The people who could own the record fill its submenu; only the owner of a document of a
        // kind that changes hands may use it.
        ChangeOwnerMenu::setup(
            item, m_item ? QList<ManagedObjectPtr>{ManagedObjectPtr(m_item)} : QList<ManagedObjectPtr>(),
            managedObjectContext(), this);
        verdict = UserInterfaceItem::isEnabled(item);
    }
    if (command == Commands::share)
        shown = ViewClasses::hasClass(TQMainWindowController::kShareWithClass);
    // A command whose view the program does not have is not offered at all.
    if (action)
        action->setVisible(shown);
    return verdict && shown && TQUtility::actionAllowedOffline(command);
}

// --- Callbacks ---

bool TQFileViewController::routeError(const QVariant&, const QVariant& error)
{
    ActionError::processActionError(ActionError::errorFromValue(error));
    return failed(error);
}

void TQFileViewController::operationDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    requestDidAnswer();
    TQViewController::operationDidFinishWithResult(result, error);
    invalidate();
}

void TQFileViewController::setGenPermissionDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    requestDidAnswer();
    if (!routeError(result, error))
        copyAndAnnounceLink(result);
    invalidate();
}

void TQFileViewController::generalPermissionDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    requestDidAnswer();
    TQLog("Received general permission callback");
    // A link that could not be made is the user's to know, not only the log's.
    if (routeError(result, error))
        return;
    copyAndAnnounceLink(result);
}

void TQFileViewController::downloadDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    requestDidAnswer();
    TQLog("Received action callback");
    if (routeError(result, error))
        return;
    TQCopyHelper* helper = TQCopyHelper::copingHelper();
    helper->setInteractionWindow(view()->window());
    helper->copyDownloadsInBackground(QVariantList{result});
}

void TQFileViewController::documentsDidTrashWithResult(const QVariant& result, const QVariant& error)
{
    requestDidAnswer();
    // The view leaves either way; a refusal reaches the banner first, saying why the document is still
    // listed.
    routeError(result, error);
    popFromStack();
}

void TQFileViewController::documentsDidDeleteWithResult(const QVariant& result, const QVariant& error)
{
    requestDidAnswer();
    routeError(result, error);
    popFromStack();
}

} // namespace tavrel

namespace tavrel {

QVariant TQFileViewController::requestConsumer()
{
    ++m_inFlight;
    return QVariant::fromValue<QObject*>(this);
}

void TQFileViewController::requestDidAnswer()
{
    m_inFlight = qMax(0, m_inFlight - 1);
    // The actions hold the view as their progress consumer: it goes only once none runs.
    if (m_popped && m_inFlight == 0)
        deleteLater();
}

} // namespace tavrel
