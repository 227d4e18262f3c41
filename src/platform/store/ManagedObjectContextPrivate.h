#pragma once

#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentStoreCoordinator.h"
#include "platform/store/SqliteConnection.h"
#include "platform/store/StoreSaveWriter.h"
#include "platform/store/StoreSchema.h"

#include <QHash>
#include <QRecursiveMutex>
#include <memory>
#include <mutex>

// What the context's files share: its state and its errors.

namespace tavrel {

namespace managedobjectcontext {
inline Error makeError(qint64 code, const QString& description)
{
    return Error(ManagedObjectContext::kErrorDomain, code, {{Error::kLocalizedDescriptionKey, description}});
}
} // namespace managedobjectcontext

struct ManagedObjectContext::Private
{
    std::shared_ptr<PersistentStoreCoordinator> coordinator;
    std::unique_ptr<SqliteConnection> db;
    QHash<ManagedObjectID, std::weak_ptr<ManagedObject>> registry;
    QHash<ManagedObjectID, ManagedObjectPtr> inserted, updated, deleted, observed;
    QHash<ManagedObjectID, ManagedObjectPtr> pendingInserted, pendingUpdated, pendingDeleted;
    bool pendingInvalidated = false;
    bool processScheduled = false;
    bool destroying = false;
    std::shared_ptr<ManagedObjectContextLink> link = std::make_shared<ManagedObjectContextLink>();
    QRecursiveMutex mutex;

    StoreSaveWriter::InsertStatements insertStatements;
    // Held around every use of the connection; the coordinator takes it to close the store.
    std::recursive_mutex dbMutex;
    quint64 generation = 0;
    quint64 dbGeneration = 0; // the store generation db was opened for

    const StoreSchema& schema() const { return coordinator->schema(); }
    SqliteConnection& connection()
    {
        if (db && generation != coordinator->storeGeneration())
            db.reset();
        if (!db) {
            dbGeneration = coordinator->storeGeneration();
            db = coordinator->openConnection();
        }
        return *db;
    }
    ManagedObjectPtr registered(const ManagedObjectID& id) const
    {
        auto it = registry.constFind(id);
        return it == registry.constEnd() ? ManagedObjectPtr() : it->lock();
    }
};

} // namespace tavrel
