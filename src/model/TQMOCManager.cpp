#include "model/TQMOCManager.h"

#include "model/ContextFetch.h"
#include "model/TQDataModel.h"
#include "model/TQMOCFactory.h"
#include "model/TQMOCMaster.h"
#include "model/TQPlaces.h"
#include "platform/runtime/Exception.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentStoreCoordinator.h"
#include "platform/system/DamagedFiles.h"
#include "platform/system/TQLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <sys/stat.h>

namespace tavrel {

const QString TQMOCManager::kCannotCreatePersistentStore = QStringLiteral("CannotCreatePersistentStore");

namespace {
const char* const kUsernameProperty = "tavrelUsername";

[[noreturn]] void raiseCannotCreate(const QString& reason)
{
    throw Exception(TQMOCManager::kCannotCreatePersistentStore, reason);
}

// Makes sure the account folder exists and is a folder.
void prepareFolder(const QString& folder)
{
    const QString noFolder =
        QStringLiteral("It is not possible to create the directory during creation of the "
                       "Persistent Store");
    if (folder.isEmpty())
        raiseCannotCreate(noFolder);
    struct stat info;
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0) {
        if (errno != ENOENT || !QDir().mkpath(folder))
            raiseCannotCreate(noFolder);
        return;
    }
    if (!S_ISDIR(info.st_mode))
        raiseCannotCreate(QStringLiteral("Expected a folder to store application data, found a file"));
}

// Why the store file there cannot be opened for reading and writing: permissions, not its content.
QString accessProblem(const QString& path)
{
    QFile file(path);
    if (!file.exists() || file.open(QIODevice::ReadWrite))
        return QString();
    return file.errorString();
}

} // namespace

std::unique_ptr<TQMOCManager> TQMOCManager::mocManagerWithSession(QObject* session)
{
    if (!session)
        return {};
    return std::make_unique<TQMOCManager>(session);
}

TQMOCManager::TQMOCManager(QObject* session, QObject* parent) : QObject(parent), m_session(session)
{
    auto coordinator = persistentStoreCoordinator();
    m_masterMOC = TQMOCFactory::masterObjectContextWithPersistentStoreCoordinator(coordinator, this);
}

TQMOCManager::~TQMOCManager()
{
    // The master context goes before the coordinator it writes to.
    m_masterMOC.reset();
}

QString TQMOCManager::username() const
{
    return m_session ? m_session->property("username").toString() : QString();
}

QString TQMOCManager::usernameForContext(const ManagedObjectContext* context)
{
    if (!context)
        return {};
    if (const auto* master = qobject_cast<const TQMOCMaster*>(context))
        return master->mocManager() ? master->mocManager()->username() : QString();
    return context->property(kUsernameProperty).toString();
}

std::shared_ptr<const ManagedObjectModel> TQMOCManager::managedObjectModel()
{
    std::lock_guard guard(m_mutex);
    if (!m_model)
        m_model = TQDataModel::mainDataContext();
    return m_model;
}

std::shared_ptr<PersistentStoreCoordinator> TQMOCManager::persistentStoreCoordinator()
{
    // The whole creation is guarded: two threads asking at once must not open two coordinators.
    std::lock_guard guard(m_mutex);
    if (m_coordinator)
        return m_coordinator;
    const auto model = managedObjectModel();
    if (!model) {
        TQLog("E: Cannot create a peristentStoreCoordinator without a ManagedObjectModel");
        return {};
    }
    const QString storePath = TQPlaces::tavrelPeristentStoreCoordinatorForUsername(username());
    prepareFolder(storePath.isEmpty() ? QString() : QFileInfo(storePath).path());
    auto coordinator = std::make_shared<PersistentStoreCoordinator>(model);
    try {
        coordinator->addPersistentStore(storePath);
    } catch (const Exception& e) {
        // A file that cannot be read is reported and left as it is: the user may mend its permissions.
        if (const QString problem = accessProblem(storePath); !problem.isEmpty())
            raiseCannotCreate(QStringLiteral("%1: %2").arg(storePath, problem));
        // A damaged one is a copy of what the service holds: set aside, and fetched again into a new one.
        const QString aside =
            QFileInfo::exists(storePath)
                ? DamagedFiles::moveAside(storePath, {QStringLiteral("-wal"), QStringLiteral("-shm")})
                : QString();
        if (aside.isEmpty())
            raiseCannotCreate(e.reason());
        TQLog("E: TQMOCManager: %@, moved it to %@", e.reason(), aside);
        try {
            coordinator->addPersistentStore(storePath);
        } catch (const Exception& again) {
            raiseCannotCreate(again.reason());
        }
        m_movedAsideStorePath = aside;
        m_movedAsideReason = e.reason();
    }
    m_coordinator = coordinator;
    return m_coordinator;
}

ManagedObjectContext* TQMOCManager::managedObjectContextForCurrentThread()
{
    auto* context = TQMOCFactory::managedObjectContextForCurrentThreadWithPersistentStoreCoordinator(
        persistentStoreCoordinator());
    if (context && !context->property(kUsernameProperty).isValid())
        context->setProperty(kUsernameProperty, username());
    return context;
}

void TQMOCManager::save()
{
    std::lock_guard guard(m_mutex);
    if (m_masterMOC)
        m_masterMOC->save();
}

bool TQMOCManager::shouldCreateMasterContext()
{
    if (!m_masterMOC)
        return true;
    FetchRequest request("FileEntryAbstract");
    request.setFetchLimit(1);
    Error error;
    return ContextFetch::executeFetchRequestSafely(m_masterMOC.get(), request, &error).size() != 1;
}

void TQMOCManager::start()
{
    if (m_masterMOC)
        m_masterMOC->start();
}

void TQMOCManager::stop()
{
    if (m_masterMOC)
        m_masterMOC->stop();
}

void TQMOCManager::clean()
{
    std::lock_guard guard(m_mutex);
    if (!m_masterMOC)
        return;
    m_masterMOC->clean();
    if (!m_coordinator || !m_coordinator->hasStore())
        return;
    // The store is closed before its files go: a file removed under open connections stays readable
    // through them, and its journal would be replayed into whatever is opened at that path next.
    TQMOCMaster* master = m_masterMOC.get();
    struct Locker
    {
        explicit Locker(ManagedObjectContext* c) : context(c) { context->lock(); }
        ~Locker() { context->unlock(); }
        ManagedObjectContext* context;
    } locker(master);
    master->reset();
    const QString path = m_coordinator->storePath();
    m_coordinator->removePersistentStore();
    for (const QString& file : {path, path + QStringLiteral("-wal"), path + QStringLiteral("-shm")})
        QFile::remove(file);
    try {
        m_coordinator->addPersistentStore(path);
    } catch (const Exception& e) {
        TQLog("E: Cannot reopen the data store after clean: %@", e.reason());
    }
}

} // namespace tavrel
