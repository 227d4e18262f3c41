#pragma once

#include "platform/runtime/Error.h"
#include "platform/store/FetchColumn.h"
#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObject.h"
#include "platform/store/ObjectsDidChangeNotification.h"
#include "platform/store/SaveNotification.h"

#include <QObject>
#include <QSet>
#include <memory>
#include <mutex>

namespace tavrel {

class PersistentStoreCoordinator;

// Shared by a context and its records; cleared under its lock when the context goes.
struct ManagedObjectContextLink
{
    std::mutex mutex;
    ManagedObjectContext* context = nullptr;
};

// A scratch pad of records over one store, used on one thread (the thread it was made on). Records are
// unique per context (identity map). Changes stay in memory until save(), which writes them in one
// transaction. Merging another context's save keeps this context's unsaved values over stored ones.
class ManagedObjectContext : public QObject
{
    Q_OBJECT

public:
    static const QString kErrorDomain; // "NSCocoaErrorDomain"
    enum ErrorCode : qint64 {
        ObjectNotFoundError = 133000, // existingObjectWithID: the store no longer holds the record
        DeniedDeleteError = 1600,     // a delete rule Deny was violated
        SaveError = 134030,           // writing failed
        FetchError = 134060,          // reading failed, or an unknown entity
    };

    explicit ManagedObjectContext(std::shared_ptr<PersistentStoreCoordinator> coordinator,
                                  QObject* parent = nullptr);
    ~ManagedObjectContext() override;

    PersistentStoreCoordinator* persistentStoreCoordinator() const;
    const std::shared_ptr<PersistentStoreCoordinator>& coordinator() const;

    // A new record of a concrete entity; awakeFromInsert runs before it is returned. An unknown or
    // abstract entity raises NSInvalidArgumentException.
    ManagedObjectPtr insertNewObject(const QString& entityName);
    template <typename T> std::shared_ptr<T> insertNewObject(const QString& entityName)
    {
        return std::dynamic_pointer_cast<T>(insertNewObject(entityName));
    }
    // Marks the record deleted and applies the delete rules of its relationships (cascade deletes,
    // nullify removes it from the other side); Deny is checked when saving.
    void deleteObject(const ManagedObjectPtr& object);

    bool hasChanges() const;
    // Whether an unsaved insert, update or delete is of one of the named entities or of a sub-entity
    // of one (a list asks whether its rows may differ from what the store holds).
    bool hasChangesForEntities(const QSet<QString>& entityNames) const;
    QList<ManagedObjectPtr> insertedObjects() const;
    QList<ManagedObjectPtr> updatedObjects() const;
    QList<ManagedObjectPtr> deletedObjects() const;
    QList<ManagedObjectPtr> registeredObjects() const;

    // Writes every change in one transaction; temporary ids become permanent; emits didSave (and the
    // coordinator's contextDidSave). On failure nothing is written, the changes stay, the error is set.
    bool save(Error* error = nullptr);

    // Records (or, by the request's result type, use executeFetchRequestForIDs) matching the request.
    // On failure an empty list and the error.
    QList<ManagedObjectPtr> executeFetchRequest(const FetchRequest& request, Error* error = nullptr);
    template <typename T>
    QList<std::shared_ptr<T>> executeFetchRequest(const FetchRequest& request, Error* error = nullptr)
    {
        QList<std::shared_ptr<T>> result;
        for (const auto& o : executeFetchRequest(request, error))
            if (auto t = std::dynamic_pointer_cast<T>(o))
                result.append(t);
        return result;
    }
    QList<ManagedObjectID> executeFetchRequestForIDs(const FetchRequest& request, Error* error = nullptr);
    // The ids of the matching records in order, each with the values of the columns (one list per
    // record, in the order of the columns), read in one statement without loading the records when SQL
    // answers the request and every column; otherwise read from the fetched records. On failure no
    // rows and the error.
    struct FetchedValues
    {
        QList<ManagedObjectID> ids;
        QList<QVariantList> values;
    };
    FetchedValues executeFetchRequestForValues(const FetchRequest& request, const QList<FetchColumn>& columns,
                                               Error* error = nullptr);
    // Number of matching records; -1 on failure.
    qint64 countForFetchRequest(const FetchRequest& request, Error* error = nullptr);

    // The record for the id in this context, as a fault when not loaded yet; it may no longer exist.
    ManagedObjectPtr objectWithID(const ManagedObjectID& id);
    // The record when the store (or this context's unsaved inserts) holds it, else nothing (and the
    // error ObjectNotFoundError). Deleted records are nothing.
    ManagedObjectPtr existingObjectWithID(const ManagedObjectID& id, Error* error = nullptr);
    // Loads the records of the ids that are still faults, one statement per entity hierarchy (a list
    // about to show a page of rows); unknown ids and records already loaded are left as they are.
    void fireFaults(const QList<ManagedObjectID>& ids);
    // The record when this context holds it in memory, else nothing.
    ManagedObjectPtr objectRegisteredForID(const ManagedObjectID& id) const;

    // Reloads a record from the store. With mergeChanges its unsaved values are kept over stored ones;
    // without, they are dropped and the record turns into a fault.
    void refreshObject(const ManagedObjectPtr& object, bool mergeChanges);
    // Brings another context's save into this one: changed records are refreshed keeping unsaved
    // values, deleted records leave the context, inserted records are announced. Emits
    // objectsDidChange. Must run on this context's thread.
    void mergeChangesFromContextDidSaveNotification(const SaveNotification& notification);
    // Forgets every record and every unsaved change.
    void reset();
    // Emits objectsDidChange for the changes gathered so far (also done from the event loop).
    void processPendingChanges();

    // A re-entrant lock on the context, for code that must not overlap others on the same context.
    void lock();
    void unlock();
    bool tryLock();

signals:
    void objectsDidChange(const tavrel::ObjectsDidChangeNotification& notification);
    void didSave(const tavrel::SaveNotification& notification);

private:
    friend class ManagedObject;
    friend class PersistentStoreCoordinator;
    struct Private;
    std::unique_ptr<Private> d;

    // Used by records.
    bool fireFault(const ManagedObject* object);
    const QList<ManagedObjectID>& relationList(const ManagedObject* object, int relationshipIndex);
    void recordChange(ManagedObject* object);
    void setToOneRelationship(ManagedObject* object, const RelationshipDescription* rel,
                              ManagedObject* target);
    void addRelated(ManagedObject* object, const RelationshipDescription* rel, ManagedObject* target);
    void removeRelated(ManagedObject* object, const RelationshipDescription* rel, const ManagedObjectID& id);
    // The inverse step on a to-many that is not loaded, when the other side keeps the change (a to-one
    // holds the key, a loaded to-many writes the join row): the list is marked changed, not loaded,
    // so relating many records to one never reads that one's whole list. True when it did so.
    bool changeUnloadedInverse(ManagedObject* object, const RelationshipDescription* rel,
                               const ManagedObject* other);
    // A to-many read from the store lacks what this context changed on its other side without
    // loading it: that is laid over it here.
    void overlayUnsavedInverse(const ManagedObject* object, const RelationshipDescription* rel,
                               QList<ManagedObjectID>& ids);
    void keepObserved(ManagedObject* object, bool keep);
    void forget(const ManagedObjectID& id);

    // A record of the entity, registered here, with room for its values; a fault until they are set.
    ManagedObjectPtr registerRecord(const EntityDescription* e, const ManagedObjectID& id);
    // False, with DeniedDeleteError, while a deleted record's Deny relationship holds a record that stays.
    bool checkDenyRules(Error* error);

    // Used by the coordinator while it removes its store.
    std::unique_lock<std::recursive_mutex> lockConnection();
    void closeConnection();
    // Forgets the records of a store that was removed since this context last used the store.
    void adoptCurrentStore();
};

} // namespace tavrel
