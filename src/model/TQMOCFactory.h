#pragma once

#include <memory>

namespace tavrel {

class ManagedObjectContext;
class PersistentStoreCoordinator;
class TQMOCManager;
class TQMOCMaster;

// Makes the contexts of an account's store. Every context uses the account's coordinator and keeps
// its unsaved values over stored ones when merging.
class TQMOCFactory
{
public:
    // Nothing for no coordinator.
    static std::unique_ptr<TQMOCMaster> masterObjectContextWithPersistentStoreCoordinator(
        const std::shared_ptr<PersistentStoreCoordinator>& coordinator, TQMOCManager* mocManager);
    static std::unique_ptr<ManagedObjectContext> managedObjectContextWithPersistentStoreCoordinator(
        const std::shared_ptr<PersistentStoreCoordinator>& coordinator);
    // The calling thread's context for the coordinator: made on the first call on that thread, the
    // same one afterwards, released when the thread ends. Never use it from another thread.
    static ManagedObjectContext* managedObjectContextForCurrentThreadWithPersistentStoreCoordinator(
        const std::shared_ptr<PersistentStoreCoordinator>& coordinator);
};

} // namespace tavrel
