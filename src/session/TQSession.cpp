#include "session/TQSession.h"

#include "actions/CoreDataUpdateSupport.h"
#include "actions/FastCoreDataUpdateOperation.h"
#include "actions/FullCoreDataUpdateOperation.h"
#include "model/ContextFetch.h"
#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "model/TQMOCMaster.h"
#include "pipeline/GDManagerManager.h"
#include "pipeline/TQSessionContexts.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/gdata/GDataConstants.h"
#include "platform/gdata/OAuth2Authentication.h"
#include "platform/runtime/Invocation.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/store/FetchRequest.h"
#include "platform/system/DMTracker.h"
#include "platform/system/Settings.h"
#include "platform/system/TQLog.h"
#include "session/ConnectionStatus.h"

#include <QSet>
#include <algorithm>

namespace tavrel {

namespace {

// One candidate of the automatic favourites: a person and how many documents link them.
struct TQContactHolder
{
    std::shared_ptr<Mail> contact;
    qint64 sharings = 0;
};

Error errorFromValue(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<Error>() ? value.value<Error>() : Error();
}

} // namespace

std::unique_ptr<TQSession> TQSession::sessionWithAccount(std::shared_ptr<WXAccount> account)
{
    if (!account)
        return nullptr;
    return std::make_unique<TQSession>(std::move(account));
}

TQSession::TQSession(std::shared_ptr<WXAccount> account, QObject* parent)
    : QObject(parent), m_account(std::move(account))
{
    m_state = kStopped;
    m_mocManager = TQMOCManager::mocManagerWithSession(this);
    m_queueManager = std::make_unique<TQQueueManager>(this);
    m_documentManager = DocumentManager::managerWithSession(this);
    m_contactManager = ContactManager::managerWithSession(this);
    m_cacheManager = TQCacheManager::cacheManagerWithSession(this);
    NotificationCenter::defaultCenter().addObserver(
        this, ConnectionStatus::kCordelConnectionStatusChanged, QVariant(),
        [this](const Notification& notification) { onConnectionStatusDidChange(notification); });
}

TQSession::~TQSession()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    m_queueManager.reset();
    m_documentManager.reset();
    m_contactManager.reset();
    m_mocManager.reset();
}

void TQSession::setState(int state)
{
    m_state = state;
    emit stateChanged(state);
}

QString TQSession::username() const
{
    return m_account ? m_account->identifier() : QString();
}

std::shared_ptr<GDataAuthorizer> TQSession::authentication() const
{
    return m_account ? m_account->authToken() : nullptr;
}

void TQSession::start()
{
    if (m_state == kRunning || m_state == kStarting)
        return;
    setState(kStarting);
    if (m_mocManager && needsFullSynchronisation())
        createMasterContext();
    else
        startSessionManagers();
    DMTracker::defaultTracker()->trackEventInCategory(kTrackCategory, kTrackName, kTrackValue);
}

bool TQSession::needsFullSynchronisation()
{
    m_storeHeldRecords = !m_mocManager->shouldCreateMasterContext();
    if (!m_storeHeldRecords)
        return true;
    // The changestamp is stored only once a full synchronisation has saved its last page: a store
    // without one was left midway (killed, quit, failed) and the incremental update cannot bring
    // what the interrupted run never fetched.
    if (Settings::contains(CoreDataUpdateSupport::largestChangestampKey(this)))
        return false;
    TQLog("I: TQSession: the store of %@ has no completed full synchronisation: running one", username());
    return true;
}

void TQSession::stop()
{
    if (m_state == kStopped)
        return;
    stopSessionManagers();
    setState(kStopped);
}

void TQSession::logout()
{
    stop();
}

void TQSession::clean()
{
    stop();
    if (m_cacheManager)
        m_cacheManager->clean();
    if (m_mocManager)
        m_mocManager->clean();
    if (m_documentManager)
        m_documentManager->clean();
}

void TQSession::executeManagerAction(const QString& handlerPrefix, const QString& action,
                                     const QVariantMap& parameters)
{
    VUvodozuManager* manager = nullptr;
    if (handlerPrefix == QLatin1String("dmh"))
        manager = m_documentManager.get();
    else if (handlerPrefix == QLatin1String("cmh"))
        manager = m_contactManager.get();
    if (!manager) {
        TQLog("E: TQSession: no manager for %@ to run %@", handlerPrefix, action);
        return;
    }
    manager->executeAction(action, nullptr, parameters);
}

void TQSession::startSessionManagers()
{
    if (m_mocManager)
        m_mocManager->start();
    if (m_documentManager)
        m_documentManager->start();
    setState(kRunning);
}

void TQSession::stopSessionManagers()
{
    if (m_mocManager)
        m_mocManager->stop();
    if (m_documentManager)
        m_documentManager->stop();
    if (m_queueManager)
        m_queueManager->reset();
}

void TQSession::createMasterContext()
{
    setState(kFirstSyncRunning);
    m_queueManager->reset();
    const TQOperationPtr operation =
        updateOperationWithClassName(TQMOCMaster::kFullUpdateOperationClass, true, m_mocManager->masterMOC());
    if (!operation) {
        fullCoreDataUpdateOperationDidFinishWithError(QVariant::fromValue(
            VUvodozuManager::unexpectedErrorWithReason(TQMOCMaster::kFullUpdateOperationClass)));
        return;
    }
    operation->setProgressConsumer(this);
    // The operation answers (result, error) or (error): the error is whichever argument holds one.
    QPointer<TQSession> guard(this);
    operation->setCallback(Invocation::invocationWithFunction(
        kFullUpdateCallbackSelector, [guard](Invocation& invocation) -> QVariant {
            if (!guard)
                return {};
            Error error = errorFromValue(invocation.argument(3));
            if (error.isNull())
                error = errorFromValue(invocation.argument(2));
            guard->fullCoreDataUpdateOperationDidFinishWithError(error.isNull() ? QVariant()
                                                                                : QVariant::fromValue(error));
            guard->synchronisationDidFinish(error);
            return {};
        }));
    m_queueManager->scheduleOperation(operation);
}

void TQSession::fullCoreDataUpdateOperationDidFinishWithError(const QVariant& error)
{
    // A late answer (the session was stopped or lost its connection meanwhile) changes nothing.
    if (m_state != kFirstSyncRunning)
        return;
    if (!errorFromValue(error).isNull()) {
        cleanAfterFailedFirstSynchronisation();
        setState(kFirstSyncFailed);
        return;
    }
    startSessionManagers();
    createContactFavoritesAutomatically();
}

void TQSession::onConnectionStatusDidChange(const Notification& notification)
{
    if (notification.object().toLongLong() != 1)
        return;
    if (m_state != kFirstSyncRunning && m_state != kFirstSyncFailed)
        return;
    m_queueManager->reset();
    cleanAfterFailedFirstSynchronisation();
    setState(kConnectionLost);
}

void TQSession::cleanAfterFailedFirstSynchronisation()
{
    // A failed run changes and removes nothing an earlier one stored, and the next start runs it
    // again: records the store held before stay (the user's own marks among them).
    if (!m_storeHeldRecords)
        m_mocManager->clean();
}

void TQSession::createContactFavoritesAutomatically()
{
    TQMOCMaster* master = m_mocManager ? m_mocManager->masterMOC() : nullptr;
    if (!master)
        return;
    Error error;
    FetchRequest favoritesRequest(QStringLiteral("Mail"));
    favoritesRequest.setPredicate(Predicate::format(QStringLiteral("favorite == %@"), true));
    const auto favorites = ContextFetch::executeFetchRequestSafely(master, favoritesRequest, &error);
    if (!error.isNull()) {
        TQLog("E: Cannot fetch contact favorites: %@", error.localizedDescription());
        return;
    }
    if (!favorites.isEmpty()) {
        TQLog("Favorite contacts already present!");
        return;
    }
    // The user's own documents: the owner's whole address, letter case ignored (a prefix would also
    // take in someone whose address merely starts like the user's).
    FetchRequest mineRequest(QStringLiteral("File"));
    mineRequest.setPredicate(Predicate::comparison(
        QStringLiteral("owner.address"), Predicate::Operator::Equal, username(), Predicate::CaseInsensitive));
    const auto mine = ContextFetch::executeFetchRequestSafely<FileEntryAbstract>(master, mineRequest, &error);
    if (!error.isNull()) {
        TQLog("E: Cannot collect my items: error %@", error.localizedDescription());
        return;
    }
    QList<std::shared_ptr<Mail>> people;
    QSet<const Mail*> seen;
    const auto collect = [&](const QList<std::shared_ptr<Mail>>& mails) {
        for (const auto& mail : mails)
            if (mail && !seen.contains(mail.get())) {
                seen.insert(mail.get());
                people.append(mail);
            }
    };
    for (const auto& file : mine) {
        collect(file->editors());
        collect(file->viewers());
        collect(file->commenters());
    }
    QList<TQContactHolder> holders;
    for (const auto& person : people) {
        QSet<const FileEntryAbstract*> documents;
        for (const auto& list : {person->edits(), person->views(), person->owns()})
            for (const auto& item : list)
                if (item && item->entity() &&
                    item->entity()->name().startsWith(QLatin1String("File"), Qt::CaseInsensitive))
                    documents.insert(item.get());
        holders.append({person, qint64(documents.size())});
    }
    std::stable_sort(holders.begin(), holders.end(), [](const TQContactHolder& a, const TQContactHolder& b) {
        return a.sharings > b.sharings;
    });
    if (holders.size() > kAutomaticFavoritesCount)
        holders.resize(kAutomaticFavoritesCount);
    QVariantList mailEntities;
    for (const auto& holder : holders)
        mailEntities.append(QVariant::fromValue(ManagedObjectPtr(holder.contact)));
    const QVariantMap parameters{
        {QStringLiteral("mailEntities"), mailEntities},
        {QStringLiteral("statusID"),
         QStringLiteral("favorites_%1").arg(quint64(reinterpret_cast<quintptr>(&mailEntities)))},
        {QStringLiteral("isFavorite"), true},
    };
    m_contactManager->executeAction(QStringLiteral("UpdateMails"), nullptr, parameters);
}

void TQSession::progressStatus(int status, float elProcessed, quint64 elTotal, float percentage)
{
    QObject* consumer = m_initProgressConsumer;
    if (!consumer || !Invocation::respondsToSelector(consumer, kProgressStatusSelector))
        return;
    const auto invocation = Invocation::invocationForSelector(kProgressStatusSelector, consumer);
    invocation->setArgument(2, status);
    invocation->setArgument(3, elProcessed);
    invocation->setArgument(4, QVariant::fromValue(elTotal));
    invocation->setArgument(5, percentage);
    invocation->invoke();
}

void TQSession::scheduleUpdateOperation(const QString& className, bool shouldSendNotification,
                                        QObject* delegate)
{
    // Two synchronisations at once would read the same changestamp, apply the same changes twice and
    // tell the user twice. A background tick has nothing to add while one is under way; one the user
    // asked for runs after it.
    QStringList pendingNames{FullCoreDataUpdateOperation::kOperationName};
    if (className == FastCoreDataUpdateOperation::kOperationName)
        pendingNames.append(FastCoreDataUpdateOperation::kOperationName);
    QList<TQOperationPtr> pending;
    for (const QString& name : pendingNames)
        pending += m_queueManager->operationsMatchingName(name);
    if (!pending.isEmpty() && !shouldSendNotification) {
        TQLog("I: TQSession: %@ not scheduled: another synchronisation is under way", className);
        return;
    }
    const TQOperationPtr operation =
        updateOperationWithClassName(className, shouldSendNotification, delegate);
    if (!operation)
        return;
    for (const TQOperationPtr& earlier : pending)
        operation->addDependency(earlier);
    // Its end tells whether the account is up to date: a failure is never reported as an update.
    if (!operation->callback()) {
        QPointer<TQSession> guard(this);
        operation->setCallback(
            Invocation::invocationWithFunction(QStringLiteral("updateOperationDidFinishWithError:"),
                                               [guard](Invocation& invocation) -> QVariant {
                                                   Error error = errorFromValue(invocation.argument(3));
                                                   if (error.isNull())
                                                       error = errorFromValue(invocation.argument(2));
                                                   if (guard)
                                                       guard->synchronisationDidFinish(error);
                                                   return {};
                                               }));
    }
    m_queueManager->scheduleOperation(operation);
}

void TQSession::synchronisationDidFinish(const Error& error)
{
    m_lastSynchronisationError = error;
    if (error)
        TQLog("E: TQSession: the synchronisation failed: %@", error.description());
    const bool refused = isSignInRefusal(error);
    if (refused != m_needsSignIn && (refused || error.isNull())) {
        m_needsSignIn = refused;
        if (refused)
            TQLog("E: TQSession: the service refused the sign-in of %@", username());
        emit needsSignInChanged(refused);
    }
    emit synchronisationFinished(error);
}

bool TQSession::isSignInRefusal(const Error& error)
{
    if (error.isNull())
        return false;
    const QString& domain = error.domain();
    const qint64 code = error.code();
    // The token endpoint's own refusal ("invalid_grant" and its kind) comes as its HTTP status.
    if (domain == OAuth2Authentication::kErrorDomain)
        return code == 400 || code == 401 || code == OAuth2Authentication::kErrorNoRefreshToken;
    if (domain == VUvodozuManager::kErrorDomain)
        return code == VUvodozuManager::kNotAuthorizedErrorCode;
    if (domain == GDManagerManager::kErrorDomain)
        return code == GDManagerManager::kNotAuthorizedErrorCode;
    return (domain == kGTMHTTPFetcherStatusDomain || domain == kGDataServiceErrorDomain) && code == 401;
}

TQOperationPtr TQSession::updateOperationWithClassName(const QString& className, bool shouldSendNotification,
                                                       QObject* delegate)
{
    if (className == FullCoreDataUpdateOperation::kOperationName) {
        const auto operation = FullCoreDataUpdateOperation::operationWithSession(this);
        operation->setDelegate(delegate);
        operation->setShouldSendNotification(shouldSendNotification);
        return operation;
    }
    if (className == FastCoreDataUpdateOperation::kOperationName) {
        const auto operation = FastCoreDataUpdateOperation::operationWithSession(this);
        operation->setDelegate(delegate);
        operation->setShouldSendNotification(shouldSendNotification);
        return operation;
    }
    TQLog("E: TQSession: no update operation %@", className);
    return nullptr;
}

QVariant TQSession::managedObjectContextForCurrentThread()
{
    return TQSessionContexts::managedObjectContextForCurrentThread(m_mocManager.get());
}

QVariant TQSession::masterManagedObjectContext()
{
    return TQSessionContexts::masterManagedObjectContext(m_mocManager.get());
}

bool TQSession::isManagedObjectContext(const QVariant& value) const
{
    return TQSessionContexts::isManagedObjectContext(value);
}

QVariant TQSession::fetchEntitiesFromObject(const QVariant& context, const QVariant& object,
                                            QVariant* detectedSource)
{
    return TQSessionContexts::fetchEntitiesFromObject(context, object, detectedSource);
}

} // namespace tavrel
