#include "platform/store/ManagedObjectContextPrivate.h"
#include "platform/store/SqliteTransaction.h"
#include "platform/store/StoreRowReader.h"

// The context's saving, and the merging of what other contexts saved.

namespace tavrel {

namespace {
using managedobjectcontext::makeError;
} // namespace

bool ManagedObjectContext::save(Error* error)
{
    adoptCurrentStore();
    if (!hasChanges())
        return true;
    if (!checkDenyRules(error))
        return false;

    StoreSaveWriter writer(d->inserted, d->updated, d->deleted);
    PersistentStoreCoordinator& psc = *d->coordinator;
    psc.lockWrites();
    std::unique_lock use(d->dbMutex);
    try {
        const StoreSchema& schema = d->schema();
        SqliteConnection& db = d->connection();
        SqliteTransaction transaction(db);
        writer.write(db, schema, d->insertStatements);
        transaction.commit();
    } catch (const std::exception& failure) {
        psc.unlockWrites();
        if (error)
            *error = makeError(SaveError, QStringLiteral("The changes could not be saved: %1")
                                              .arg(QString::fromStdString(failure.what())));
        return false;
    }
    psc.unlockWrites();
    use.unlock(); // not held while others hear of the save

    // The store holds the changes: the records are clean now.
    const SaveNotification note = writer.markSaved(this);
    for (const auto& o : std::as_const(d->deleted)) {
        d->registry.remove(o->m_id);
        d->observed.remove(o->m_id);
    }
    d->inserted.clear();
    d->updated.clear();
    d->deleted.clear();
    processPendingChanges();
    emit didSave(note);
    psc.announceSave(note);
    writer.releaseInserted(d->registry);
    return true;
}

bool ManagedObjectContext::checkDenyRules(Error* error)
{
    // A Deny rule holds while the deleted record still refers to a record that stays.
    for (const auto& o : std::as_const(d->deleted)) {
        for (const RelationshipDescription* rel : o->m_entity->relationships()) {
            if (rel->deleteRule != RelationshipDescription::DeleteRule::Deny)
                continue;
            for (const ManagedObjectID& other : relationList(o.get(), rel->index)) {
                ManagedObjectPtr target = d->registered(other);
                if (target && target->m_deleted)
                    continue;
                if (error)
                    *error = makeError(
                        DeniedDeleteError,
                        QStringLiteral("%1 cannot be deleted while its relationship \"%2\" refers to %3")
                            .arg(o->m_id.toString(), rel->name, other.toString()));
                return false;
            }
        }
    }
    return true;
}

void ManagedObjectContext::refreshObject(const ManagedObjectPtr& object, bool mergeChanges)
{
    std::unique_lock use(d->dbMutex);
    if (!object || object->m_context != this || object->m_inserted)
        return;
    if (!mergeChanges) {
        if (object->m_loaded)
            object->willTurnIntoFault();
        const ManagedObjectID id = object->m_id;
        d->updated.remove(id);
        object->m_changedAttributes.clear();
        object->m_changedRelationships.clear();
        object->m_savedRelations.clear();
        if (object->m_deleted) {
            object->m_deleted = false;
            d->deleted.remove(id);
        }
        object->m_loaded = false;
        object->m_values.resize(object->m_values.size());
        object->m_relations.resize(object->m_relations.size());
        return;
    }
    // To-many lists may be loaded on a fault too; unchanged ones are read again when next needed.
    for (int r = 0; r < object->m_relations.size(); ++r)
        if (object->m_entity->relationships()[r]->toMany && !object->m_changedRelationships.contains(r))
            object->m_relations.unload(r);
    if (!object->m_loaded)
        return;
    try {
        const StoreSchema& schema = d->schema();
        StoreRowReader(d->connection(), schema).reload(object.get());
    } catch (const std::exception&) {
    }
}

void ManagedObjectContext::mergeChangesFromContextDidSaveNotification(const SaveNotification& notification)
{
    if (notification.source == this)
        return;
    for (const ManagedObjectID& id : notification.deleted) {
        ManagedObjectPtr o = d->registered(id);
        if (!o)
            continue;
        o->m_deleted = true;
        d->updated.remove(id);
        d->inserted.remove(id);
        d->deleted.remove(id);
        d->observed.remove(id);
        d->registry.remove(id);
        d->pendingUpdated.remove(id);
        d->pendingDeleted.insert(id, o);
        o->m_context = nullptr;
    }
    for (const ManagedObjectID& id : notification.updated) {
        ManagedObjectPtr o = d->registered(id);
        if (!o)
            continue;
        refreshObject(o, true);
        if (!d->pendingInserted.contains(id))
            d->pendingUpdated.insert(id, o);
        const QStringList keys = notification.updatedKeys.value(id);
        for (const QString& key : keys) {
            const int a = o->m_entity->attributeIndex(key);
            if (a >= 0 && o->m_changedAttributes.contains(a))
                continue; // the unsaved value stays, so nothing changed here
            o->notifyObservers(key);
        }
    }
    // New records arrive as faults that load together when the first of them is touched.
    auto batch = std::make_shared<ManagedObject::FaultBatch>();
    batch->ids = notification.inserted;
    batch->size = 200;
    for (qsizetype i = 0; i < notification.inserted.size(); ++i) {
        const ManagedObjectID& id = notification.inserted[i];
        ManagedObjectPtr o = objectWithID(id);
        if (!o)
            continue;
        if (!o->m_loaded && !o->m_inserted) {
            o->m_batch = batch;
            o->m_batchIndex = i;
        }
        d->pendingInserted.insert(id, o);
    }
    processPendingChanges();
}

} // namespace tavrel
