#pragma once

#include "model/CacheManagerAbstract.h"
#include "model/TQCacheTypes.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <mutex>

namespace tavrel {

class ManagedObject;

// The session's caches of downloaded copies, thumbnails and contact photos, under the account's folder
// ("cache"). Picks the first-level manager by the record's class: FileCacheManager for a File,
// ContactCacheManager for a Contact; for anything else every call does nothing and answers nothing.
// Adding and deleting are serialised by a lock on the facade; searches are not locked. Safe on any
// thread with records of that thread's context.
class TQCacheManager
{
public:
    // Nothing for no session. The session is an object with the Qt property "username", not owned.
    static std::unique_ptr<TQCacheManager> cacheManagerWithSession(QObject* session);
    explicit TQCacheManager(QObject* session);
    ~TQCacheManager();

    QObject* session() const { return m_session; }

    void start() {}
    void stop() {}
    // Deletes the whole cache folder in the background; errors are ignored. The hook, when given, runs
    // on the background thread once the folder is gone (tests wait for it).
    void clean(std::function<void()> done = {});

    static QUrl URLCacheBaseForSession(const QObject* session);
    std::unique_ptr<CacheManagerAbstract> managerForObject(const ManagedObject* object) const;

    TQCacheFiles addData(const TQCacheFiles& files, const ManagedObject* object);
    void deleteObject(const ManagedObject* object);
    void deleteObject(const ManagedObject* object, const QString& type);
    QUrl searchObject(const ManagedObject* object, const QString& type) const;
    TQCacheFiles searchObject(const ManagedObject* object) const;

private:
    QPointer<QObject> m_session;
    std::recursive_mutex m_mutex;
};

} // namespace tavrel
