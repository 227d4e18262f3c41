#pragma once

#include <QVariant>
#include <memory>

namespace tavrel {

class GDataAuthorizer;
class TQCacheManager;
class TQMOCManager;
class TQQueueManager;
class VUvodozuManager;

// What the per-session services (managers, handlers, operations, the queue manager) need of the
// session that owns them. They hold it without owning it.
//
// Records cross threads only by being fetched again in the other thread's context. Contexts and
// records travel as QVariants here, so the action machinery does not depend on the store; the session
// answers these through its store. The defaults stand for a session without a store: no contexts, and
// every value passes unchanged.
class TQSessionProtocol
{
public:
    virtual ~TQSessionProtocol() = default;

    virtual TQQueueManager* queueManager() const = 0;
    // The account's OAuth 2 authentication; nullptr when there is none.
    virtual std::shared_ptr<GDataAuthorizer> authentication() const { return nullptr; }
    // The account's store and its master context; nullptr for a session without a store.
    virtual TQMOCManager* mocManager() const { return nullptr; }
    // The document ("dmh") and contact ("cmh") action managers; nullptr when the session has none.
    virtual VUvodozuManager* documentManager() const { return nullptr; }
    virtual VUvodozuManager* contactManager() const { return nullptr; }
    // The account's caches of downloaded copies, thumbnails and photos; nullptr when there are none.
    virtual TQCacheManager* cacheManager() const { return nullptr; }

    // The calling thread's context (made on first use), and the main thread's master context.
    virtual QVariant managedObjectContextForCurrentThread() { return {}; }
    virtual QVariant masterManagedObjectContext() { return {}; }
    virtual bool isManagedObjectContext(const QVariant& value) const
    {
        Q_UNUSED(value);
        return false;
    }
    // The object with every record inside it (in lists and maps at any depth) replaced by its twin in
    // the context. Through detectedSource, when given, the context the records came from (left as it
    // was when there is no record).
    virtual QVariant fetchEntitiesFromObject(const QVariant& context, const QVariant& object,
                                             QVariant* detectedSource = nullptr)
    {
        Q_UNUSED(context);
        Q_UNUSED(detectedSource);
        return object;
    }
};

} // namespace tavrel
