#include "model/TQCacheManager.h"

#include "model/Contact.h"
#include "model/ContactCacheManager.h"
#include "model/File.h"
#include "model/FileCacheManager.h"

#include <QDir>
#include <QThreadPool>

namespace tavrel {

std::unique_ptr<TQCacheManager> TQCacheManager::cacheManagerWithSession(QObject* session)
{
    if (!session)
        return nullptr;
    return std::make_unique<TQCacheManager>(session);
}

TQCacheManager::TQCacheManager(QObject* session) : m_session(session) {}

TQCacheManager::~TQCacheManager() = default;

void TQCacheManager::clean(std::function<void()> done)
{
    const QUrl base = URLCacheBaseForSession(m_session);
    QThreadPool::globalInstance()->start(
        [folder = base.toLocalFile(), done = std::move(done)] {
            if (!folder.isEmpty())
                QDir(folder).removeRecursively();
            if (done)
                done();
        },
        int(QThread::LowPriority));
}

QUrl TQCacheManager::URLCacheBaseForSession(const QObject* session)
{
    return CacheManagerAbstract::URLCacheBaseForSession(session);
}

std::unique_ptr<CacheManagerAbstract> TQCacheManager::managerForObject(const ManagedObject* object) const
{
    if (dynamic_cast<const File*>(object))
        return FileCacheManager::managerWithSession(m_session);
    if (dynamic_cast<const Contact*>(object))
        return ContactCacheManager::managerWithSession(m_session);
    return nullptr;
}

namespace {
const IGoogleObject* googleObject(const ManagedObject* object)
{
    return dynamic_cast<const IGoogleObject*>(object);
}
} // namespace

TQCacheFiles TQCacheManager::addData(const TQCacheFiles& files, const ManagedObject* object)
{
    std::lock_guard lock(m_mutex);
    const auto manager = managerForObject(object);
    return manager ? manager->addData(files, *googleObject(object)) : TQCacheFiles();
}

void TQCacheManager::deleteObject(const ManagedObject* object)
{
    std::lock_guard lock(m_mutex);
    if (const auto manager = managerForObject(object))
        manager->deleteObject(*googleObject(object));
}

void TQCacheManager::deleteObject(const ManagedObject* object, const QString& type)
{
    std::lock_guard lock(m_mutex);
    if (const auto manager = managerForObject(object))
        manager->deleteObject(*googleObject(object), type);
}

QUrl TQCacheManager::searchObject(const ManagedObject* object, const QString& type) const
{
    const auto manager = managerForObject(object);
    return manager ? manager->searchObject(*googleObject(object), type) : QUrl();
}

TQCacheFiles TQCacheManager::searchObject(const ManagedObject* object) const
{
    const auto manager = managerForObject(object);
    return manager ? manager->searchObject(*googleObject(object)) : TQCacheFiles();
}

} // namespace tavrel
