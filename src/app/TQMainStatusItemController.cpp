#include "app/TQMainStatusItemController.h"

#include "app/CordelAppDelegate.h"
#include "app/IMainWindowController.h"
#include "app/TQSessionMenuItemController.h"
#include "model/ContextFetch.h"
#include "model/File.h"
#include "model/FileCachedFile.h"
#include "model/ResourceIds.h"
#include "model/TQMOCMaster.h"
#include "model/TQPreferencesManager.h"
#include "model/TQUtility.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/store/Predicate.h"
#include "platform/store/SortDescriptor.h"
#include "platform/system/TQLog.h"
#include "platform/ui/CommandValidation.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "progress/TQProgressManager.h"
#include "progress/TQProgressSession.h"
#include "session/ConnectionStatus.h"
#include "session/TQSessionManager.h"
#include "window/StandardKeys.h"

#include <QWidgetAction>

namespace tavrel {

namespace {

TQMainStatusItemController* g_controller = nullptr;
int g_setupCount = 0;
// The animation's position, shared by the process and never reset between animations.
unsigned g_frameCounter = 0;

const QString kUploadSessionName = QStringLiteral("UploadFiles");

} // namespace

TQMainStatusItemController* TQMainStatusItemController::sharedStatusItemController()
{
    if (!g_controller)
        g_controller = new TQMainStatusItemController();
    return g_controller;
}

TQMainStatusItemController* TQMainStatusItemController::existingController()
{
    return g_controller;
}

void TQMainStatusItemController::resetForTesting()
{
    delete g_controller;
    g_controller = nullptr;
    g_setupCount = 0;
    g_frameCounter = 0;
}

int TQMainStatusItemController::setupCount()
{
    return g_setupCount;
}

TQMainStatusItemController::~TQMainStatusItemController()
{
    for (const QMetaObject::Connection& connection : std::as_const(m_sessionConnections))
        QObject::disconnect(connection);
    delete m_trayIcon;
    delete m_menu;
}

void TQMainStatusItemController::setConnectionStatus(ConnectionStatus* status)
{
    QObject::disconnect(m_onlineConnection);
    m_connectionStatus = status;
    if (status)
        m_onlineConnection = connect(status, &ConnectionStatus::onlineChanged, this, [this] {
            refreshStatus();
            setIconImage(statusBarIconImage());
        });
    refreshStatus();
}

void TQMainStatusItemController::setupMenubarIcon()
{
    if (m_menu)
        return;
    ++g_setupCount;
    m_menu = new QMenu();
    m_menu->setObjectName(QStringLiteral("statusMenu"));
    m_menu->setTitle(StringTable::text(QStringLiteral("StatusMenuTitle")));
    const auto addItem = [this](const QString& key, const QString& command, QObject* target, int tag = 0) {
        QAction* item = UserInterfaceItem::makeAction(StringTable::text(key), command, m_menu, tag);
        if (target)
            UserInterfaceItem::setTarget(item, target);
        m_menu->addAction(item);
        return item;
    };
    addItem(QStringLiteral("HideApplication"), Commands::hide, nullptr);
    addItem(QStringLiteral("OpenGoogleDocs"), Commands::openGoogleDocs, this);
    m_menu->addSeparator();
    auto* statusItem = new QWidgetAction(m_menu);
    m_statusController = new TQSessionMenuItemController(statusItem);
    m_statusItem = statusItem;
    m_menu->addAction(statusItem);
    m_menu->addSeparator();
    TQProgressManager* progress = TQProgressManager::progressManager();
    connect(progress, &TQProgressManager::hasActivityChanged, this,
            &TQMainStatusItemController::progressDidChange);
    connect(progress, &TQProgressManager::topSessionChanged, this,
            &TQMainStatusItemController::progressDidChange);
    m_recentItem =
        addItem(QStringLiteral("RecentModified"), Commands::openRecentModified, this, kRecentModifiedTag);
    m_recentItem->setMenu(new QMenu(m_menu));
    m_menu->addSeparator();
    addItem(QStringLiteral("ShowPreferences"), Commands::showPreferences, nullptr);
    addItem(QStringLiteral("Logout"), Commands::toggleSession, nullptr);
    addItem(QStringLiteral("QuitApplication"), Commands::terminate, nullptr);
    StandardKeys::showKeys(m_menu);
    CommandValidation::attachToMenu(m_menu);

    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_trayIcon = new QSystemTrayIcon();
        m_trayIcon->setContextMenu(m_menu);
        connect(m_trayIcon, &QSystemTrayIcon::activated, this, &TQMainStatusItemController::trayActivated);
        m_trayIcon->show();
    } else {
        TQLog("StatusItem: the desktop offers no tray; the status menu is in the main window");
    }
    setIconImage(statusBarIconImage());
    refreshStatus();

    TQSessionManager* sessions = TQSessionManager::sharedManager();
    connect(sessions, &TQSessionManager::currentSessionChanged, this,
            &TQMainStatusItemController::currentSessionDidChange);
    currentSessionDidChange(sessions->currentSession());
}

void TQMainStatusItemController::hostMenuIn(IMainWindowController* controller)
{
    m_menuHost = controller;
    if (controller && m_menu && !m_trayIcon)
        controller->hostStatusMenu(m_menu);
}

void TQMainStatusItemController::trayActivated(QSystemTrayIcon::ActivationReason reason)
{
    // A click brings the main window; the context menu is the status menu.
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        if (CordelAppDelegate* delegate = CordelAppDelegate::sharedDelegate())
            delegate->toggleMainWindow(nullptr);
}

QString TQMainStatusItemController::status() const
{
    if (m_session && m_session->needsSignIn())
        return StringTable::text(QStringLiteral("SignInAgainNeeded"));
    if (!m_connectionStatus || !m_connectionStatus->isOnline())
        return StringTable::text(QStringLiteral("Offline"));
    TQProgressManager* progress = TQProgressManager::progressManager();
    TQProgressSession* top = progress->topSession();
    if (top && top->name() == kUploadSessionName) {
        const int count = top->numberOfActions();
        return count == 1 ? StringTable::text(QStringLiteral("Uploading1Item"))
                          : StringTable::format(QStringLiteral("UploadingXItems"), count);
    }
    if (progress->hasActivity())
        return StringTable::text(QStringLiteral("Updating"));
    // Never "Updated" after a synchronisation that failed.
    if (m_session && m_session->lastSynchronisationError())
        return StringTable::text(QStringLiteral("UpdateFailed"));
    const QDateTime lastUpdate = TQPreferencesManager::sharedManager()->lastUpdate();
    if (lastUpdate.isValid())
        return StringTable::format(QStringLiteral("UpdatedAt"),
                                   TQUtility::sharedShortDateTimeFormatter().stringFromDate(lastUpdate));
    return StringTable::text(QStringLiteral("ConnectionOnline"));
}

QString TQMainStatusItemController::statusIcon() const
{
    if (!m_connectionStatus || !m_connectionStatus->isOnline() ||
        (m_session && (m_session->needsSignIn() || m_session->lastSynchronisationError())))
        return QStringLiteral("icon-offline");
    TQProgressManager* progress = TQProgressManager::progressManager();
    if (progress->topSession() && progress->topSession()->name() == kUploadSessionName)
        return QStringLiteral("icon-uploading");
    if (progress->hasActivity())
        return QStringLiteral("icon-updating");
    if (TQPreferencesManager::sharedManager()->lastUpdate().isValid())
        return QStringLiteral("icon-updated");
    return {};
}

QString TQMainStatusItemController::statusBarIconImage() const
{
    if (!m_connectionStatus || !m_connectionStatus->isOnline())
        return QStringLiteral("disabled-top-bar");
    return m_addedItems.isEmpty() ? QStringLiteral("icon-top-bar") : QStringLiteral("icon-top-bar-blue");
}

QString TQMainStatusItemController::selectedStatusBarIconImage() const
{
    return m_connectionStatus && m_connectionStatus->isOnline() ? QStringLiteral("icon-top-bar-selected")
                                                                : QStringLiteral("disabled-top-bar-selected");
}

QString TQMainStatusItemController::badgeLabel() const
{
    return m_addedItems.isEmpty() ? QString() : QString::number(m_addedItems.size());
}

void TQMainStatusItemController::refreshStatus()
{
    // The connection coming back during a first synchronisation that lost it starts it again.
    if (m_connectionStatus && m_connectionStatus->isOnline() && m_session &&
        m_session->state() == TQSession::kConnectionLost)
        m_session->start();
    if (m_statusController) {
        m_statusController->setActiveIcon(statusIcon());
        m_statusController->setTitle(status());
    }
    if (m_trayIcon) {
        QString tip = StringTable::text(QStringLiteral("ApplicationName")) + QStringLiteral(" — ") + status();
        if (!m_addedItems.isEmpty())
            tip +=
                QLatin1Char('\n') + StringTable::format(QStringLiteral("NewItemsBadge"), m_addedItems.size());
        m_trayIcon->setToolTip(tip);
    }
    emit statusChanged();
}

void TQMainStatusItemController::setIconImage(const QString& name)
{
    m_currentIcon = name;
    if (m_trayIcon)
        m_trayIcon->setIcon(ImageRegistry::icon(name));
    emit iconChanged(name);
}

void TQMainStatusItemController::progressDidChange()
{
    TQProgressManager* progress = TQProgressManager::progressManager();
    if (progress->hasActivity()) {
        startMenuAnimation();
        TQProgressSession* top = progress->topSession();
        if (top && top->name() == kUploadSessionName && m_statusController) {
            m_statusController->setTarget(this);
            m_statusController->setAction(Commands::cancelTopSession);
            m_statusController->setProgressSession(top);
        }
    } else {
        stopMenuAnimation();
        if (m_statusController) {
            m_statusController->setTarget(nullptr);
            m_statusController->setAction({});
            m_statusController->setProgressSession(nullptr);
        }
    }
    refreshStatus();
}

void TQMainStatusItemController::startMenuAnimation()
{
    if (m_animationTimer.isActive())
        return;
    if (!m_animationTimer.callOnTimeout(this, &TQMainStatusItemController::animateMenuIcon))
        return;
    m_animationTimer.start(int(kAnimationInterval.milliseconds()));
}

void TQMainStatusItemController::stopMenuAnimation()
{
    if (!m_animationTimer.isActive())
        return;
    m_animationTimer.stop();
    QObject::disconnect(&m_animationTimer, &QTimer::timeout, this, nullptr);
    setIconImage(statusBarIconImage());
}

void TQMainStatusItemController::animateMenuIcon()
{
    const QString base = m_addedItems.isEmpty() ? QStringLiteral("icon-top-bar-activity")
                                                : QStringLiteral("icon-top-bar-blue");
    setIconImage(QStringLiteral("%1-%2").arg(base).arg(kFrames[g_frameCounter]));
    if (++g_frameCounter > 7)
        g_frameCounter = 0;
}

void TQMainStatusItemController::currentSessionDidChange(TQSession* session)
{
    for (const QMetaObject::Connection& connection : std::as_const(m_sessionConnections))
        QObject::disconnect(connection);
    m_sessionConnections.clear();
    m_session = session;
    if (!session)
        return;
    m_sessionConnections.append(connect(session, &TQSession::stateChanged, this, [this](int state) {
        if (state == TQSession::kRunning)
            setupNewItemsMonitoring();
    }));
    // "Updated" means the last synchronisation succeeded, not that the activity ended.
    m_sessionConnections.append(
        connect(session, &TQSession::synchronisationFinished, this, [this](const Error& error) {
            if (error.isNull())
                TQPreferencesManager::sharedManager()->setLastUpdate(QDateTime::currentDateTimeUtc());
            refreshStatus();
        }));
    m_sessionConnections.append(
        connect(session, &TQSession::needsSignInChanged, this, &TQMainStatusItemController::refreshStatus));
    if (session->state() == TQSession::kRunning)
        setupNewItemsMonitoring();
}

void TQMainStatusItemController::setupNewItemsMonitoring()
{
    if (!m_session || !m_session->mocManager())
        return;
    TQMOCMaster* master = m_session->mocManager()->masterMOC();
    if (!master)
        return;
    m_sessionConnections.append(connect(master, &ManagedObjectContext::objectsDidChange, this,
                                        &TQMainStatusItemController::onContextDidChange,
                                        Qt::UniqueConnection));
    FetchRequest request(QStringLiteral("FileEntryAbstract"));
    request.setPredicate(Predicate::format(QStringLiteral("isNew = %@"), true));
    Error error;
    const QList<ManagedObjectPtr> found = ContextFetch::executeFetchRequestSafely(master, request, &error);
    if (error) {
        TQLog("E: Cannot prefetch isNew=YES items: %@", error.description());
        return;
    }
    if (found.isEmpty())
        return;
    ObjectsDidChangeNotification notification;
    notification.inserted = found;
    onContextDidChange(notification);
}

void TQMainStatusItemController::onContextDidChange(const ObjectsDidChangeNotification& notification)
{
    const qsizetype before = m_addedItems.size();
    for (const ManagedObjectPtr& object : notification.inserted) {
        const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(object);
        if (entry && !entry->identifier().isEmpty() && !entry->isTrashed() && entry->isNew())
            m_addedItems.insert(entry->identifier(), QStringLiteral("N"));
    }
    for (const ManagedObjectPtr& object : notification.updated) {
        std::shared_ptr<FileEntryAbstract> entry = std::dynamic_pointer_cast<FileEntryAbstract>(object);
        if (const auto cached = std::dynamic_pointer_cast<FileCachedFile>(object))
            entry = cached->file();
        if (!entry || entry->identifier().isEmpty())
            continue;
        if (!entry->isTrashed() && entry->isNew())
            m_addedItems.insert(entry->identifier(), QStringLiteral("N"));
        else
            m_addedItems.remove(entry->identifier());
    }
    for (const ManagedObjectPtr& object : notification.deleted) {
        const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(object);
        if (entry && !entry->identifier().isEmpty() && !entry->isTrashed())
            m_addedItems.remove(entry->identifier());
    }
    if (m_addedItems.size() != before) {
        if (!isAnimating())
            setIconImage(statusBarIconImage());
        refreshStatus();
    }
}

bool TQMainStatusItemController::validateUserInterfaceItem(QObject* item)
{
    const QString command = UserInterfaceItem::command(item);
    if (command == Commands::openRecentModified && UserInterfaceItem::tag(item) == kRecentModifiedTag) {
        auto* action = qobject_cast<QAction*>(item);
        QMenu* submenu = action ? action->menu() : nullptr;
        if (submenu)
            submenu->clear();
        TQMOCMaster* master =
            m_session && m_session->mocManager() ? m_session->mocManager()->masterMOC() : nullptr;
        QList<ManagedObjectPtr> records;
        Error error;
        if (master) {
            FetchRequest request(QStringLiteral("File"));
            request.setSortDescriptors({SortDescriptor(QStringLiteral("updatedDate"), false)});
            request.setFetchLimit(kRecentFilesLimit);
            records = ContextFetch::executeFetchRequestSafely(master, request, &error);
        }
        if (records.isEmpty() || !submenu) {
            TQLog("E: Cannot fetch recent files: %@", error ? error.description() : QStringLiteral("(null)"));
            return false;
        }
        for (const ManagedObjectPtr& record : std::as_const(records)) {
            const auto document = std::dynamic_pointer_cast<FileEntryAbstract>(record);
            if (!document)
                continue;
            QAction* row =
                UserInterfaceItem::makeAction(document->title(), Commands::openRecentModified, submenu);
            UserInterfaceItem::setTarget(row, this);
            row->setIcon(ImageRegistry::fileTypeIcon(document->title()));
            row->setProperty("representedObject", QVariant::fromValue(record));
            submenu->addAction(row);
        }
        return true;
    }
    return ResponderChain::respondsToCommand(this, command);
}

void TQMainStatusItemController::openRecentModified(QObject* sender)
{
    if (!sender)
        return;
    const auto document = std::dynamic_pointer_cast<FileEntryAbstract>(
        sender->property("representedObject").value<ManagedObjectPtr>());
    if (!document || !m_session)
        return;
    const QString resourceId = document->resourceId();
    const bool stored = ResourceIds::isStoredFile(resourceId);
    const bool online = m_connectionStatus && m_connectionStatus->isOnline();
    if (!stored && online && TQUtility::defaultApplicationForResourcesID(resourceId).isEmpty())
        CordelAppDelegate::openURL(QUrl(document->alternateLink()));
    else
        m_session->documentManager()->executeAction(
            QStringLiteral("OpenDocument"), nullptr,
            {{QStringLiteral("documentEntity"), QVariant::fromValue<ManagedObjectPtr>(document)}});
    TQPreferencesManager::sharedManager()->addRecent(document->identifier());
}

void TQMainStatusItemController::openGoogleDocs(QObject*)
{
    CordelAppDelegate::openURL(GDataEndpoints::serviceBaseURL());
}

void TQMainStatusItemController::cancelTopSession(QObject*)
{
    TQProgressSession* session = m_statusController ? m_statusController->progressSession() : nullptr;
    if (session && m_session) {
        for (const TQProgressActionPtr& action : session->allActions()) {
            const QList<TQOperationPtr> operations =
                m_session->queueManager()->operationsMatchingName(action->name(), action->arguments());
            if (!operations.isEmpty())
                m_session->queueManager()->cancelOperation(operations.last());
        }
    }
    if (m_menu)
        m_menu->hide();
}

} // namespace tavrel
