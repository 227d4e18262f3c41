#include "model/TQMOCFactory.h"

#include "model/TQMOCMaster.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentStoreCoordinator.h"

#include <QThreadStorage>
#include <map>

namespace tavrel {

namespace {
// One context per coordinator per thread: a thread serving two accounts must not write one account's
// records into the other's store. Each context keeps its coordinator alive, so the pointer key stays
// unique while the entry exists.
struct ThreadContexts
{
    std::map<const PersistentStoreCoordinator*, std::unique_ptr<ManagedObjectContext>> contexts;
};

QThreadStorage<ThreadContexts*>& threadContexts()
{
    static QThreadStorage<ThreadContexts*> storage;
    return storage;
}
} // namespace

std::unique_ptr<TQMOCMaster> TQMOCFactory::masterObjectContextWithPersistentStoreCoordinator(
    const std::shared_ptr<PersistentStoreCoordinator>& coordinator, TQMOCManager* mocManager)
{
    if (!coordinator)
        return {};
    return std::make_unique<TQMOCMaster>(coordinator, mocManager);
}

std::unique_ptr<ManagedObjectContext> TQMOCFactory::managedObjectContextWithPersistentStoreCoordinator(
    const std::shared_ptr<PersistentStoreCoordinator>& coordinator)
{
    if (!coordinator)
        return {};
    return std::make_unique<ManagedObjectContext>(coordinator);
}

ManagedObjectContext* TQMOCFactory::managedObjectContextForCurrentThreadWithPersistentStoreCoordinator(
    const std::shared_ptr<PersistentStoreCoordinator>& coordinator)
{
    if (!coordinator)
        return nullptr;
    auto& storage = threadContexts();
    if (!storage.hasLocalData())
        storage.setLocalData(new ThreadContexts);
    auto& slot = storage.localData()->contexts[coordinator.get()];
    if (!slot)
        slot = managedObjectContextWithPersistentStoreCoordinator(coordinator);
    return slot.get();
}

} // namespace tavrel
