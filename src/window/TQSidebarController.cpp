#include "window/TQSidebarController.h"

#include "controls/BasicButtonCell.h"
#include "controls/TQSwitchButtonCell.h"
#include "model/Category.h"
#include "model/File.h"
#include "model/FileCachedFile.h"
#include "model/Mail.h"
#include "model/TQMOCMaster.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/system/DMTracker.h"
#include "platform/system/Settings.h"
#include "platform/system/TQLog.h"
#include "platform/ui/Alert.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "session/TQSessionManager.h"
#include "window/ActionError.h"
#include "window/ActionNotifications.h"
#include "window/ActionRequests.h"
#include "window/TQSidebar.h"

#include <QAbstractButton>
#include <QDropEvent>
#include <QMimeData>

namespace tavrel {

namespace {
const QStringList kModeImages{QStringLiteral("mode_all_items"), QStringLiteral("mode_starred"),
                              QStringLiteral("mode_contacts"), QStringLiteral("mode_collections"),
                              QStringLiteral("mode_trash")};
const QStringList kModeTitles{QStringLiteral("AllItemsBack"), QStringLiteral("AllFavoritesBack"),
                              QStringLiteral("AllContactsBack"), QStringLiteral("AllCollectionsBack"),
                              QStringLiteral("TrashBack")};

QVariantList variantList(const QList<std::shared_ptr<FileEntryAbstract>>& records)
{
    QVariantList list;
    for (const auto& record : records)
        list.append(QVariant::fromValue(ManagedObjectPtr(record)));
    return list;
}
} // namespace

QString TQSidebarController::modeName(SidebarMode mode)
{
    switch (mode) {
    case PersonalProfile:
        return QStringLiteral("PersonalProfile");
    case AllItems:
        return QStringLiteral("FileList");
    case Starred:
        return QStringLiteral("FileFavoriteList");
    case Contacts:
        return QStringLiteral("ContactList");
    case Collections:
        return QStringLiteral("FolderList");
    case Trash:
        return QStringLiteral("TrashList");
    default:
        return QString();
    }
}

TQSidebarController::TQSidebarController(TQSessionManager* sessionManager, QObject* parent)
    : TQViewController(QStringLiteral("SidebarView"), parent),
      m_sessionManager(sessionManager ? sessionManager : TQSessionManager::sharedManager())
{
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &TQSidebarController::retryCreateContact);
    connect(m_sessionManager, &TQSessionManager::currentSessionChanged, this, [this](TQSession* session) {
        emit activatedChanged(activated());
        if (session)
            connect(
                session, &TQSession::stateChanged, this, [this] { emit activatedChanged(activated()); },
                Qt::UniqueConnection);
    });
    if (TQSession* session = m_sessionManager->currentSession())
        connect(session, &TQSession::stateChanged, this, [this] { emit activatedChanged(activated()); });
    lookUpMe();
    TQSession* session = m_sessionManager->currentSession();
    if (!m_me && session && session->authentication())
        m_retryTimer.start(int(kRetryContactDelay.milliseconds()));
}

TQSidebarController::~TQSidebarController() = default;

TQSidebar* TQSidebarController::sidebar()
{
    return static_cast<TQSidebar*>(view());
}

bool TQSidebarController::activated() const
{
    TQSession* session = m_sessionManager ? m_sessionManager->currentSession() : nullptr;
    return session && session->state() == TQSession::kRunning;
}

void TQSidebarController::lookUpMe()
{
    TQSession* session = m_sessionManager->currentSession();
    if (session && managedObjectContext())
        m_me = Mail::mailEntityWithAddress(session->username(), managedObjectContext());
}

void TQSidebarController::retryCreateContact()
{
    TQSession* session = m_sessionManager->currentSession();
    if (!session || !session->authentication())
        return;
    lookUpMe();
    if (!m_me)
        m_retryTimer.start(int(kRetryContactDelay.milliseconds()));
}

QWidget* TQSidebarController::loadView()
{
    auto* sidebar = new TQSidebar;
    sidebar->setObjectName(QStringLiteral("sidebar"));
    auto plaqueCell = std::make_shared<BasicButtonCell>();
    plaqueCell->setImage(ImageRegistry::pixmap(QStringLiteral("tavrel"), QSizeF(44, 44)));
    plaqueCell->setImagePosition(BasicButtonCell::ImageOnly);
    plaqueCell->setBordered(false);
    plaqueCell->setDoubleCommand(Commands::showMyInfo);
    plaqueCell->setTarget(this);
    auto* plaque = new CellButton(plaqueCell, sidebar);
    plaque->setObjectName(QStringLiteral("plaque"));
    plaque->setGeometry((TQSidebar::kWidth - 48) / 2, 12, 48, 48);
    sidebar->setImagePlaque(plaque);
    m_logoButton = plaque;
    for (int i = 0; i < kModeImages.size(); ++i) {
        auto cell = std::make_shared<TQSwitchButtonCell>(kModeTitles.at(i));
        cell->setOffImage(ImageRegistry::pixmap(kModeImages.at(i)));
        auto* button = new CellButton(cell, sidebar);
        button->setObjectName(QStringLiteral("mode%1").arg(i + 1));
        button->setToolTip(StringTable::text(kModeTitles.at(i)));
        button->resize(TQSidebar::kButtonSize, TQSidebar::kButtonSize);
    }
    return sidebar;
}

void TQSidebarController::awakeFromNib()
{
    // The sidebar's titles are string-table keys of their tooltips, not texts to localise.
    TQSidebar* bar = static_cast<TQSidebar*>(view());
    bar->setDelegate(this);
    bar->awakeFromNib();
    bar->activateButtonAtIndex(0);
    m_mode = AllItems;
    if (ManagedObjectContext* context = managedObjectContext())
        connect(context, &ManagedObjectContext::objectsDidChange, this,
                &TQSidebarController::onContextDidChange);
}

void TQSidebarController::jumpToStart(QObject*)
{
    NotificationCenter::defaultCenter().post(kJumpToStartNotification, this);
}

void TQSidebarController::postModeChange(SidebarMode oldMode)
{
    NotificationCenter::defaultCenter().post(kModeDidChangeNotification, this, {{kOldModeKey, int(oldMode)}});
}

void TQSidebarController::showMyInfo(QObject*)
{
    const SidebarMode old = m_mode;
    m_mode = PersonalProfile;
    postModeChange(old);
    TQSidebar* bar = sidebar();
    QObject* delegate = bar->delegate();
    bar->setDelegate(nullptr);
    bar->activateButtonAtIndex(int(Contacts) - 1);
    bar->setDelegate(delegate);
    DMTracker::defaultTracker()->trackEventInCategory(kNavigationCategory, modeName(PersonalProfile),
                                                      QStringLiteral("Sidebar"));
}

void TQSidebarController::activateMode(SidebarMode mode)
{
    if (!isShownMode(mode)) {
        TQLog("E: Not supported sidebar mode");
        return;
    }
    if (mode == PersonalProfile) {
        showMyInfo(nullptr);
        return;
    }
    sidebar()->activateButtonAtIndex(int(mode) - 1);
    DMTracker::defaultTracker()->trackEventInCategory(kNavigationCategory, modeName(mode),
                                                      QStringLiteral("Sidebar"));
}

SidebarMode TQSidebarController::modeOfButton(QAbstractButton* button) const
{
    if (!button)
        return NoMode;
    return SidebarMode(
        static_cast<TQSidebar*>(const_cast<TQSidebarController*>(this)->view())->indexOfButton(button) + 1);
}

SidebarMode TQSidebarController::dropMode(QAbstractButton* button)
{
    if (button)
        return modeOfButton(button);
    // Beside the buttons a drop means the starred list while it is shown, else nothing.
    QAbstractButton* active = sidebar()->activeButton();
    return active && modeOfButton(active) == Starred ? Starred : NoMode;
}

bool TQSidebarController::radiobarShouldActivateButton(QObject*, QAbstractButton*)
{
    return true;
}

void TQSidebarController::radiobarDidActivateButton(QObject*, QAbstractButton* button)
{
    const SidebarMode old = m_mode;
    m_mode = modeOfButton(button);
    postModeChange(old);
}

void TQSidebarController::radiobarDidReactivateButton(QObject*, QAbstractButton* button)
{
    NotificationCenter::defaultCenter().post(
        kModeDidReactivateNotification, this,
        {{kOldModeKey, int(m_mode)}, {kActivatedModeKey, int(modeOfButton(button))}});
}

bool TQSidebarController::validateDraggingInfo(QDropEvent* draggingInfo, QAbstractButton* button)
{
    if (!draggingInfo)
        return false;
    TQSidebar* bar = sidebar();
    const SidebarMode mode = dropMode(button);
    if (button && button == bar->activeButton() && mode != Starred)
        return false;
    const QMimeData* data = draggingInfo->mimeData();
    const bool records = DragBus::hasFileItems(data);
    const bool files = !DragBus::fileURLs(data).isEmpty();
    switch (mode) {
    case Trash:
        return records;
    case Starred:
    case Contacts:
    case Collections:
        return records || files;
    case AllItems:
        return files || (records && DragBus::hasTrashedItems(data));
    default:
        return false;
    }
}

bool TQSidebarController::shouldAutoactivateButton(QAbstractButton* button, QDropEvent*)
{
    const SidebarMode mode = modeOfButton(button);
    return mode != Trash && mode != AllItems;
}

bool TQSidebarController::performDropWithDraggingInfo(QDropEvent* draggingInfo, QAbstractButton* button)
{
    if (!draggingInfo)
        return false;
    const SidebarMode mode = dropMode(button);
    const QMimeData* data = draggingInfo->mimeData();
    switch (mode) {
    case Trash: {
        const auto records = draggedRecords(data);
        if (records.isEmpty())
            return false;
        trashItems(records);
        return true;
    }
    case Starred:
        starWithDraggingInfo(data);
        return true;
    case AllItems:
        restoreTrashedWithDraggingInfo(data);
        return true;
    default:
        return false;
    }
}

QList<std::shared_ptr<FileEntryAbstract>> TQSidebarController::draggedRecords(const QMimeData* data) const
{
    QList<std::shared_ptr<FileEntryAbstract>> records;
    ManagedObjectContext* context = managedObjectContext();
    if (!context)
        return records;
    for (const QString& identifier : DragBus::fileItems(data)) {
        if (auto record = FileEntryAbstract::fileEntryAbstractWithIdentifier(identifier, context))
            records.append(record);
    }
    return records;
}

void TQSidebarController::trashItems(const QList<std::shared_ptr<FileEntryAbstract>>& records)
{
    TQSession* session = m_sessionManager->currentSession();
    const QString user = session ? session->username() : QString();
    QList<std::shared_ptr<FileEntryAbstract>> toTrash, toDelete;
    for (const auto& record : records) {
        const auto owner = record->owner();
        (owner && owner->address() == user ? toTrash : toDelete).append(record);
    }
    if (toDelete.isEmpty() || Settings::boolValue(kSuppressAlertsKey)) {
        trashItemsAlertDidEnd(Alert::DefaultResponse, false, false, toTrash, toDelete);
        return;
    }
    auto* alert = new Alert(this);
    alert->setMessageText(StringTable::text(QStringLiteral("TrashItemTitle")));
    alert->setDefaultButtonTitle(StringTable::text(QStringLiteral("OK")));
    alert->setAlternateButtonTitle(StringTable::text(QStringLiteral("Cancel")));
    alert->setInformativeText(
        toDelete.size() == 1
            ? StringTable::format(QStringLiteral("TrashItemMessage"), toDelete.constFirst()->title())
            : StringTable::format(QStringLiteral("TrashManyItemsMessage"), qint64(toDelete.size())));
    alert->setShowsSuppressionButton(true);
    alert->setSuppressionButtonTitle(StringTable::text(QStringLiteral("DontAskAgain")));
    alert->beginSheet(view()->window(), [this, toTrash, toDelete](int response, bool suppressed) {
        trashItemsAlertDidEnd(response, suppressed, true, toTrash, toDelete);
    });
}

void TQSidebarController::trashItemsAlertDidEnd(int returnCode, bool suppress, bool alertShown,
                                                const QList<std::shared_ptr<FileEntryAbstract>>& toTrash,
                                                const QList<std::shared_ptr<FileEntryAbstract>>& toDelete)
{
    if (returnCode == Alert::AlternateResponse)
        return;
    if (alertShown && suppress)
        Settings::setValue(kSuppressAlertsKey, true);
    if (!toTrash.isEmpty()) {
        TQLog("Trashing: %u documents", qint64(toTrash.size()));
        requestDocuments(QStringLiteral("TrashDocuments"), QStringLiteral("trashing_%1"), toTrash);
    }
    if (!toDelete.isEmpty()) {
        TQLog("Trashing: %u documents", qint64(toDelete.size()));
        requestDocuments(QStringLiteral("DeleteDocuments"), QStringLiteral("trashing_%1"), toDelete);
    }
}

void TQSidebarController::requestDocuments(const QString& action, const QString& statusFormat,
                                           const QList<std::shared_ptr<FileEntryAbstract>>& records,
                                           const QVariantMap& extra)
{
    QVariantMap parameters = extra;
    parameters.insert(QStringLiteral("documentEntities"), variantList(records));
    parameters.insert(QStringLiteral("statusID"), statusFormat.arg(ActionRequests::uniqueNumber()));
    parameters.insert(QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(this));
    ActionRequests::executeDocumentAction(
        action, Invocation::invocationForSelector(Selectors::operationDidFinish, this), parameters);
}

void TQSidebarController::requestUpload(const QList<QUrl>& urls, bool starred, const QString& callback)
{
    QVariantMap parameters{
        {QStringLiteral("fileURLs"), QVariant::fromValue(urls)},
        {QStringLiteral("managedObjectContext"), QVariant::fromValue<QObject*>(managedObjectContext())},
        {QStringLiteral("progressID"), QStringLiteral("upload_%1").arg(ActionRequests::uniqueNumber())},
        {QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(this)},
    };
    if (starred)
        parameters.insert(QStringLiteral("isStarred"), true);
    ActionRequests::executeDocumentAction(QStringLiteral("UploadFiles"),
                                          Invocation::invocationForSelector(callback, this), parameters);
}

void TQSidebarController::starWithDraggingInfo(const QMimeData* data)
{
    const auto records = draggedRecords(data);
    if (!records.isEmpty()) {
        if (!DragBus::hasTrashedItems(data)) {
            requestDocuments(QStringLiteral("StarredDocuments"), QStringLiteral("starred_%1"), records,
                             {{QStringLiteral("isStarred"), true}});
        } else {
            TQLog("UnTrashing: %u documents", qint64(records.size()));
            requestDocuments(QStringLiteral("UntrashAndStarDocuments"), QStringLiteral("untrashing_%1"),
                             records, {{QStringLiteral("isStarred"), true}});
        }
        return;
    }
    const QList<QUrl> urls = DragBus::fileURLs(data);
    if (!urls.isEmpty())
        requestUpload(urls, true, Selectors::operationDidFinish);
}

void TQSidebarController::restoreTrashedWithDraggingInfo(const QMimeData* data)
{
    const auto records = draggedRecords(data);
    if (!records.isEmpty()) {
        TQLog("UnTrashing: %u documents", qint64(records.size()));
        requestDocuments(QStringLiteral("UntrashDocuments"), QStringLiteral("untrashing_%1"), records);
        return;
    }
    const QList<QUrl> urls = DragBus::fileURLs(data);
    if (!urls.isEmpty())
        requestUpload(urls, false, Selectors::uploadDidFinish);
}

void TQSidebarController::operationDidFinishWithResult(const QVariant&, const QVariant& error)
{
    TQLog("Received action callback");
    const Error failure = ActionError::errorFromValue(error);
    // Errors of the sidebar's own drops are only logged; the lists refresh either way.
    if (!failure.isNull())
        TQLog("E: Got error on requested operation: %@", failure.description());
    NotificationCenter::defaultCenter().post(kRefreshIfInstalledNotification);
}

void TQSidebarController::uploadDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    TQLog("Received upload callback");
    operationDidFinishWithResult(result, error);
    if (ActionError::errorFromValue(error).isNull())
        ActionNotifications::postUpload(ActionNotifications::records(result));
}

void TQSidebarController::onContextDidChange(const ObjectsDidChangeNotification& notification)
{
    const qsizetype before = m_newFiles.size();
    const auto enter = [this](const ManagedObjectPtr& object, bool removeOtherwise) {
        const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(object);
        if (!entry || entry->identifier().isEmpty())
            return;
        if (entry->isNew() && !entry->isTrashed())
            m_newFiles.insert(entry->identifier(), QStringLiteral("N"));
        else if (removeOtherwise)
            m_newFiles.remove(entry->identifier());
    };
    for (const ManagedObjectPtr& object : notification.inserted)
        enter(object, false);
    for (ManagedObjectPtr object : notification.updated) {
        if (const auto cached = std::dynamic_pointer_cast<FileCachedFile>(object))
            object = cached->file();
        enter(object, true);
    }
    for (const ManagedObjectPtr& object : notification.deleted)
        if (const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(object);
            entry && !entry->identifier().isEmpty())
            m_newFiles.remove(entry->identifier());
    if (m_newFiles.size() != before)
        emit highlightNewItemsChanged(highlightNewItems());
}

} // namespace tavrel
