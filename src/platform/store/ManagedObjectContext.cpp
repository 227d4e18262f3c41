#include "platform/store/ManagedObjectContext.h"

#include "platform/runtime/Exception.h"
#include "platform/store/FetchPlan.h"
#include "platform/store/KeyValueCoding.h"
#include "platform/store/PersistentStoreCoordinator.h"
#include "platform/store/SqliteConnection.h"
#include "platform/store/SqliteTransaction.h"
#include "platform/store/StoreRowReader.h"
#include "platform/store/StoreSaveWriter.h"
#include "platform/store/StoreSchema.h"

#include <QMetaObject>
#include <QRecursiveMutex>
#include <QSet>

namespace tavrel {

const QString ManagedObjectContext::kErrorDomain = QStringLiteral("NSCocoaErrorDomain");

namespace {
Error makeError(qint64 code, const QString& description)
{
    return Error(ManagedObjectContext::kErrorDomain, code, {{Error::kLocalizedDescriptionKey, description}});
}
} // namespace

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

ManagedObjectContext::ManagedObjectContext(std::shared_ptr<PersistentStoreCoordinator> coordinator,
                                           QObject* parent)
    : QObject(parent), d(std::make_unique<Private>())
{
    d->link->context = this;
    qRegisterMetaType<tavrel::ObjectsDidChangeNotification>();
    qRegisterMetaType<tavrel::SaveNotification>();
    if (!coordinator)
        throw Exception(Exception::kInvalidArgumentException,
                        QStringLiteral("A context needs a store coordinator"));
    d->coordinator = std::move(coordinator);
    d->generation = d->coordinator->storeGeneration();
    d->coordinator->registerContext(this);
}

std::unique_lock<std::recursive_mutex> ManagedObjectContext::lockConnection()
{
    return std::unique_lock<std::recursive_mutex>(d->dbMutex);
}

void ManagedObjectContext::closeConnection()
{
    std::lock_guard use(d->dbMutex);
    d->db.reset();
}

void ManagedObjectContext::adoptCurrentStore()
{
    const quint64 current = d->coordinator->storeGeneration();
    if (d->generation == current || !d->coordinator->hasStore())
        return; // while no store is added, uses answer errors and the records stay
    d->generation = current;
    {
        std::lock_guard use(d->dbMutex);
        d->db.reset();
    }
    // Its records and changes belong to a store that is gone; the new store reuses their keys.
    reset();
}

ManagedObjectContext::~ManagedObjectContext()
{
    {
        // Waits for a record being let go on another thread, and keeps later ones out.
        std::lock_guard unlink(d->link->mutex);
        d->link->context = nullptr;
    }
    {
        std::lock_guard use(d->dbMutex);
        if (d->db)
            d->coordinator->recycleConnection(std::move(d->db), d->dbGeneration);
    }
    d->coordinator->unregisterContext(this);
    d->destroying = true;
    for (const auto& weak : std::as_const(d->registry))
        if (auto o = weak.lock())
            o->m_context = nullptr;
    d->pendingInserted.clear();
    d->pendingUpdated.clear();
    d->pendingDeleted.clear();
    d->inserted.clear();
    d->updated.clear();
    d->deleted.clear();
    d->observed.clear();
    d->registry.clear();
}

PersistentStoreCoordinator* ManagedObjectContext::persistentStoreCoordinator() const
{
    return d->coordinator.get();
}

const std::shared_ptr<PersistentStoreCoordinator>& ManagedObjectContext::coordinator() const
{
    return d->coordinator;
}

void ManagedObjectContext::forget(const ManagedObjectID& id)
{
    if (d->destroying)
        return;
    auto it = d->registry.find(id);
    if (it != d->registry.end() && it->expired())
        d->registry.erase(it);
}

namespace {
ManagedObjectPtr makeObject(const EntityDescription* e, const ManagedObjectID&)
{
    ManagedObjectPtr o = e->recordFactory()();
    if (!o)
        throw Exception(Exception::kInternalInconsistencyException,
                        QStringLiteral("The record class of %1 made nothing").arg(e->name()));
    return o;
}
} // namespace

ManagedObjectPtr ManagedObjectContext::insertNewObject(const QString& entityName)
{
    adoptCurrentStore();
    const EntityDescription* e = d->coordinator->managedObjectModel().entity(entityName);
    if (!e)
        throw Exception(Exception::kInvalidArgumentException,
                        QStringLiteral("The model has no entity named %1").arg(entityName));
    if (e->isAbstract())
        throw Exception(Exception::kInvalidArgumentException,
                        QStringLiteral("The entity %1 is abstract and cannot be inserted").arg(entityName));
    const ManagedObjectID id(e, d->coordinator->nextPrimaryKey(e->rootEntity()), true);
    ManagedObjectPtr o = registerRecord(e, id);
    o->m_inserted = true;
    o->m_loaded = true;
    for (int i = 0; i < e->attributes().size(); ++i)
        o->m_values.set(i, e->attributes()[i]->coerce(e->attributes()[i]->defaultValue));
    o->m_relations.loadAllEmpty();
    d->inserted.insert(id, o);
    d->pendingInserted.insert(id, o);
    recordChange(o.get());
    o->awakeFromInsert();
    return o;
}

ManagedObjectPtr ManagedObjectContext::objectRegisteredForID(const ManagedObjectID& id) const
{
    const_cast<ManagedObjectContext*>(this)->adoptCurrentStore();
    return d->registered(id);
}

ManagedObjectPtr ManagedObjectContext::objectWithID(const ManagedObjectID& id)
{
    adoptCurrentStore();
    if (id.isNull())
        return {};
    if (auto o = d->registered(id))
        return o;
    const EntityDescription* e = d->coordinator->managedObjectModel().entity(id.entity()->name());
    if (e != id.entity())
        return {}; // an id of another model
    return registerRecord(e, ManagedObjectID(e, id.primaryKey(), false));
}

ManagedObjectPtr ManagedObjectContext::registerRecord(const EntityDescription* e, const ManagedObjectID& id)
{
    ManagedObjectPtr o = makeObject(e, id);
    o->m_entity = e;
    o->m_id = id;
    o->m_context = this;
    o->m_link = d->link;
    o->m_values.resize(e->attributes().size());
    o->m_relations.resize(e->relationships().size());
    d->registry.insert(id, o);
    return o;
}

ManagedObjectPtr ManagedObjectContext::existingObjectWithID(const ManagedObjectID& id, Error* error)
{
    ManagedObjectPtr o = objectWithID(id);
    bool found = o && !o->m_deleted;
    if (found && !o->m_loaded && !o->m_inserted)
        found = fireFault(o.get());
    if (!found) {
        if (error)
            *error = makeError(ObjectNotFoundError,
                               QStringLiteral("The record %1 is not in the store").arg(id.toString()));
        return {};
    }
    return o;
}

bool ManagedObjectContext::fireFault(const ManagedObject* object)
{
    std::unique_lock use(d->dbMutex);
    auto* self = const_cast<ManagedObject*>(object);
    if (self->m_loaded || self->m_inserted)
        return true;
    QList<ManagedObjectPtr> targets{self->shared_from_this()};
    if (self->m_batch) {
        const auto& ids = self->m_batch->ids;
        for (qsizetype j = self->m_batchIndex + 1; j < ids.size() && targets.size() < self->m_batch->size;
             ++j) {
            ManagedObjectPtr other = d->registered(ids[j]);
            if (other && !other->m_loaded && !other->m_inserted &&
                other->m_entity->rootEntity() == self->m_entity->rootEntity())
                targets.append(other);
        }
    }
    QList<ManagedObjectPtr> loaded;
    try {
        const StoreSchema& schema = d->schema();
        loaded = StoreRowReader(d->connection(), schema).loadFaults(targets);
    } catch (const std::exception&) {
        return false;
    }
    for (const auto& t : loaded)
        t->awakeFromFetch();
    return self->m_loaded;
}

void ManagedObjectContext::fireFaults(const QList<ManagedObjectID>& ids)
{
    adoptCurrentStore();
    std::unique_lock use(d->dbMutex);
    QHash<const EntityDescription*, QList<ManagedObjectPtr>> byRoot;
    QSet<ManagedObjectID> seen;
    for (const ManagedObjectID& id : ids) {
        if (id.isNull() || id.isTemporaryID() || seen.contains(id))
            continue;
        seen.insert(id);
        ManagedObjectPtr o = objectWithID(id);
        if (o && !o->m_loaded && !o->m_inserted && !o->m_deleted)
            byRoot[o->m_entity->rootEntity()].append(o);
    }
    // A bounded statement size keeps the prepared statements few and reusable.
    constexpr qsizetype kChunk = 64;
    QList<ManagedObjectPtr> loaded;
    try {
        const StoreSchema& schema = d->schema();
        StoreRowReader reader(d->connection(), schema);
        for (const QList<ManagedObjectPtr>& records : std::as_const(byRoot))
            for (qsizetype at = 0; at < records.size(); at += kChunk)
                loaded += reader.loadFaults(records.mid(at, kChunk));
    } catch (const std::exception&) {
        // The records stay faults; touching one tries again and reports as before.
    }
    for (const auto& t : loaded)
        t->awakeFromFetch();
}

const QList<ManagedObjectID>& ManagedObjectContext::relationList(const ManagedObject* object, int index)
{
    static const QList<ManagedObjectID> empty;
    auto* o = const_cast<ManagedObject*>(object);
    if (index < 0 || index >= o->m_relations.size())
        return empty;
    const RelationshipDescription* rel = o->m_entity->relationships()[index];
    if (!rel->toMany) {
        o->fire();
        if (!o->m_relations.isLoaded(index))
            o->m_relations.set(index, {});
        return o->m_relations.list(index);
    }
    if (o->m_relations.isLoaded(index))
        return o->m_relations.list(index);
    QList<ManagedObjectID> ids;
    if (!o->m_inserted) {
        std::unique_lock use(d->dbMutex);
        try {
            const StoreSchema& schema = d->schema();
            StoreRowReader(d->connection(), schema).appendRelated(o, rel, ids);
        } catch (const std::exception&) {
        }
        if (o->m_changedRelationships.contains(index)) {
            // Changed while not loaded: the stored list is what a save compares with.
            if (!o->m_savedRelations.contains(index))
                o->m_savedRelations.insert(index, ids);
            overlayUnsavedInverse(o, rel, ids);
        }
    }
    o->m_relations.set(index, ids);
    return o->m_relations.list(index);
}

bool ManagedObjectContext::changeUnloadedInverse(ManagedObject* object, const RelationshipDescription* rel,
                                                 const ManagedObject* other)
{
    const RelationshipDescription* inverse = rel->inverse;
    if (!rel->toMany || !inverse || object->m_inserted || object->m_relations.isLoaded(rel->index) ||
        !other || (inverse->toMany && !other->m_relations.isLoaded(inverse->index)))
        return false;
    object->m_changedRelationships.insert(rel->index);
    recordChange(object);
    object->notifyObservers(rel->name);
    return true;
}

void ManagedObjectContext::overlayUnsavedInverse(const ManagedObject* object,
                                                 const RelationshipDescription* rel,
                                                 QList<ManagedObjectID>& ids)
{
    const RelationshipDescription* inverse = rel->inverse;
    if (!inverse)
        return;
    QSet<ManagedObjectID> present(ids.cbegin(), ids.cend());
    for (const auto* changes : {&d->inserted, &d->updated}) {
        for (const ManagedObjectPtr& other : *changes) {
            if (other->m_deleted || !other->m_entity->isKindOfEntity(rel->destination) ||
                !other->m_relations.isLoaded(inverse->index))
                continue;
            const bool relates = other->m_relations.contains(inverse->index, object->m_id);
            if (relates && !present.contains(other->m_id)) {
                present.insert(other->m_id);
                ids.append(other->m_id);
            } else if (!relates && present.remove(other->m_id)) {
                ids.removeAll(other->m_id);
            }
        }
    }
    for (const ManagedObjectPtr& gone : std::as_const(d->deleted))
        if (present.remove(gone->m_id))
            ids.removeAll(gone->m_id);
}

void ManagedObjectContext::recordChange(ManagedObject* object)
{
    ManagedObjectPtr o = object->shared_from_this();
    if (!object->m_inserted && !object->m_deleted) {
        d->updated.insert(object->m_id, o);
        if (!d->pendingInserted.contains(object->m_id))
            d->pendingUpdated.insert(object->m_id, o);
    }
    if (!d->processScheduled) {
        d->processScheduled = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (d->processScheduled)
                    processPendingChanges();
            },
            Qt::QueuedConnection);
    }
}

namespace {
void willChangeRelation(ManagedObject* o, int index, QHash<int, QList<ManagedObjectID>>& saved,
                        const QList<ManagedObjectID>& current, KeyBits& changed)
{
    if (!o->isInserted() && !saved.contains(index))
        saved.insert(index, current);
    changed.insert(index);
}
} // namespace

void ManagedObjectContext::setToOneRelationship(ManagedObject* object, const RelationshipDescription* rel,
                                                ManagedObject* target)
{
    const int index = rel->index;
    const QList<ManagedObjectID>& current = relationList(object, index);
    const ManagedObjectID old = current.isEmpty() ? ManagedObjectID() : current.first();
    const ManagedObjectID wanted = target ? target->m_id : ManagedObjectID();
    if (old == wanted)
        return;
    willChangeRelation(object, index, object->m_savedRelations, object->m_relations.list(index),
                       object->m_changedRelationships);
    object->m_relations.set(index,
                            wanted.isNull() ? QList<ManagedObjectID>() : QList<ManagedObjectID>{wanted});
    recordChange(object);
    object->notifyObservers(rel->name);
    if (!rel->inverse)
        return;
    if (!old.isNull())
        if (auto oldTarget = objectWithID(old))
            removeRelated(oldTarget.get(), rel->inverse, object->m_id);
    if (target)
        addRelated(target, rel->inverse, object);
}

void ManagedObjectContext::addRelated(ManagedObject* object, const RelationshipDescription* rel,
                                      ManagedObject* target)
{
    // Also the inverse step of a to-one: "object.rel" gains target, whatever kind rel is.
    const int index = rel->index;
    if (changeUnloadedInverse(object, rel, target)) {
        if (rel->inverse && !target->m_relations.contains(rel->inverse->index, object->m_id))
            addRelated(target, rel->inverse, object);
        return;
    }
    relationList(object, index); // loads it
    if (object->m_relations.contains(index, target->m_id))
        return;
    if (!rel->toMany) {
        setToOneRelationship(object, rel, target);
        return;
    }
    willChangeRelation(object, index, object->m_savedRelations, object->m_relations.list(index),
                       object->m_changedRelationships);
    // In place: nothing else may share the list here, or every append would copy it whole.
    object->m_relations.append(index, target->m_id);
    recordChange(object);
    object->notifyObservers(rel->name);
    if (rel->inverse)
        addRelated(target, rel->inverse, object);
}

void ManagedObjectContext::removeRelated(ManagedObject* object, const RelationshipDescription* rel,
                                         const ManagedObjectID& id)
{
    const int index = rel->index;
    const ManagedObjectPtr other = d->registered(id);
    if (other && changeUnloadedInverse(object, rel, other.get())) {
        if (rel->inverse && other->m_relations.contains(rel->inverse->index, object->m_id))
            removeRelated(other.get(), rel->inverse, object->m_id);
        return;
    }
    relationList(object, index); // loads it
    if (!object->m_relations.contains(index, id))
        return;
    willChangeRelation(object, index, object->m_savedRelations, object->m_relations.list(index),
                       object->m_changedRelationships);
    object->m_relations.remove(index, id);
    recordChange(object);
    object->notifyObservers(rel->name);
    if (rel->inverse)
        if (auto target = objectWithID(id))
            removeRelated(target.get(), rel->inverse, object->m_id);
}

void ManagedObjectContext::keepObserved(ManagedObject* object, bool keep)
{
    if (keep)
        d->observed.insert(object->m_id, object->shared_from_this());
    else
        d->observed.remove(object->m_id);
}

void ManagedObjectContext::deleteObject(const ManagedObjectPtr& object)
{
    if (!object || object->m_context != this || object->m_deleted)
        return;
    object->fire();
    object->m_deleted = true;
    const ManagedObjectID id = object->m_id;
    d->updated.remove(id);
    d->deleted.insert(id, object);
    d->pendingInserted.remove(id);
    d->pendingUpdated.remove(id);
    d->pendingDeleted.insert(id, object);
    recordChange(object.get());
    const auto& rels = object->m_entity->relationships();
    for (const RelationshipDescription* rel : rels) {
        using Rule = RelationshipDescription::DeleteRule;
        if (rel->deleteRule == Rule::Deny || rel->deleteRule == Rule::NoAction) {
            relationList(object.get(), rel->index); // kept for the check on save
            continue;
        }
        const QList<ManagedObjectID> ids = relationList(object.get(), rel->index);
        for (const ManagedObjectID& other : ids) {
            ManagedObjectPtr target = objectWithID(other);
            if (!target)
                continue;
            if (rel->inverse)
                removeRelated(target.get(), rel->inverse, id);
            if (rel->deleteRule == Rule::Cascade)
                deleteObject(target);
        }
    }
}

bool ManagedObjectContext::hasChanges() const
{
    const_cast<ManagedObjectContext*>(this)->adoptCurrentStore();
    return !d->inserted.isEmpty() || !d->updated.isEmpty() || !d->deleted.isEmpty();
}

bool ManagedObjectContext::hasChangesForEntities(const QSet<QString>& entityNames) const
{
    const_cast<ManagedObjectContext*>(this)->adoptCurrentStore();
    // Many changed records share a few entities: each entity is judged once.
    QHash<const EntityDescription*, bool> judged;
    const auto concerns = [&](const ManagedObjectPtr& o) {
        auto it = judged.constFind(o->m_entity);
        if (it != judged.constEnd())
            return *it;
        bool found = false;
        for (const EntityDescription* e = o->m_entity; e && !found; e = e->parent())
            found = entityNames.contains(e->name());
        judged.insert(o->m_entity, found);
        return found;
    };
    for (const auto* changes : {&d->inserted, &d->updated, &d->deleted})
        for (const ManagedObjectPtr& o : *changes)
            if (concerns(o))
                return true;
    return false;
}

QList<ManagedObjectPtr> ManagedObjectContext::insertedObjects() const
{
    const_cast<ManagedObjectContext*>(this)->adoptCurrentStore();
    QList<ManagedObjectPtr> result;
    for (const auto& o : std::as_const(d->inserted))
        if (!o->m_deleted)
            result.append(o);
    return result;
}

QList<ManagedObjectPtr> ManagedObjectContext::updatedObjects() const
{
    const_cast<ManagedObjectContext*>(this)->adoptCurrentStore();
    return d->updated.values();
}

QList<ManagedObjectPtr> ManagedObjectContext::deletedObjects() const
{
    const_cast<ManagedObjectContext*>(this)->adoptCurrentStore();
    QList<ManagedObjectPtr> result;
    for (const auto& o : std::as_const(d->deleted))
        if (!o->m_inserted)
            result.append(o);
    return result;
}

QList<ManagedObjectPtr> ManagedObjectContext::registeredObjects() const
{
    QList<ManagedObjectPtr> result;
    for (const auto& weak : std::as_const(d->registry))
        if (auto o = weak.lock())
            result.append(o);
    return result;
}

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

QList<ManagedObjectPtr> ManagedObjectContext::executeFetchRequest(const FetchRequest& request, Error* error)
{
    adoptCurrentStore();
    std::unique_lock use(d->dbMutex);
    QList<ManagedObjectPtr> result;
    try {
        const StoreSchema& schema = d->schema();
        const FetchPlan plan(request, schema, d->coordinator->managedObjectModel());
        const bool dirty =
            request.includesPendingChanges() && plan.touches({&d->inserted, &d->updated, &d->deleted});
        const bool memoryWindow = plan.hasResidual() || !plan.sortsInSql() || dirty;
        const bool faultsOnly = request.fetchBatchSize() > 0 && !plan.hasResidual() && plan.sortsInSql();
        QString sql = faultsOnly ? plan.selectKeys()
                                 : (schema.selectAll(plan.entity()) + plan.where() + plan.orderBy());
        if (!memoryWindow)
            sql += FetchPlan::window(request);
        SqliteConnection& db = d->connection();
        SqliteStatement& s = db.prepare(sql);
        plan.bind(s);
        const StoreRowReader reader(db, schema);
        QList<ManagedObjectPtr> fetched;
        std::shared_ptr<ManagedObject::FaultBatch> batch;
        if (faultsOnly) {
            batch = std::make_shared<ManagedObject::FaultBatch>();
            batch->size = request.fetchBatchSize();
        }
        while (s.step()) {
            const EntityDescription* e = schema.entityForNumber(int(s.int64(1)));
            if (!e)
                continue; // a record of an entity this model does not know
            const ManagedObjectID id(e, s.int64(0));
            ManagedObjectPtr o = d->registered(id);
            if (!o)
                o = registerRecord(e, id);
            if (!faultsOnly && !o->m_loaded && !o->m_inserted) {
                reader.applyRow(o.get(), s);
                o->m_loaded = true;
                o->m_batch.reset();
                fetched.append(o);
            } else if (faultsOnly && !o->m_loaded) {
                o->m_batch = batch;
                o->m_batchIndex = batch->ids.size();
            }
            if (batch)
                batch->ids.append(id);
            result.append(o);
        }
        s.reset();
        for (const auto& o : std::as_const(fetched))
            o->awakeFromFetch();
        plan.filterResidual(result);
        if (dirty)
            plan.mergePendingChanges(result, request.predicate(), d->updated, d->inserted);
        if (!plan.sortsInSql() || dirty)
            SortDescriptor::sortObjects(result, request.sortDescriptors());
        if (memoryWindow) {
            const qsizetype offset = qMin(request.fetchOffset(), result.size());
            result = result.mid(offset, request.fetchLimit() > 0 ? request.fetchLimit() : -1);
        }
        if (error)
            *error = Error();
    } catch (const Exception& failure) {
        // A key path the records do not have, or a pattern that does not compile.
        if (error)
            *error = makeError(FetchError, failure.reason());
        return {};
    } catch (const std::exception& failure) {
        if (error)
            *error = makeError(FetchError, QString::fromStdString(failure.what()));
        return {};
    }
    return result;
}

QList<ManagedObjectID> ManagedObjectContext::executeFetchRequestForIDs(const FetchRequest& request,
                                                                       Error* error)
{
    adoptCurrentStore();
    std::unique_lock use(d->dbMutex);
    QList<ManagedObjectID> ids;
    try {
        const StoreSchema& schema = d->schema();
        const FetchPlan plan(request, schema, d->coordinator->managedObjectModel());
        const bool dirty =
            request.includesPendingChanges() && plan.touches({&d->inserted, &d->updated, &d->deleted});
        if (!plan.hasResidual() && plan.sortsInSql() && !dirty) {
            ids = plan.readIDs(d->connection(), request);
            if (error)
                *error = Error();
            return ids;
        }
    } catch (const std::exception& failure) {
        if (error)
            *error = makeError(FetchError, QString::fromStdString(failure.what()));
        return {};
    }
    Error inner;
    for (const auto& o : executeFetchRequest(request, &inner))
        ids.append(o->m_id);
    if (error)
        *error = inner;
    return ids;
}

ManagedObjectContext::FetchedValues
ManagedObjectContext::executeFetchRequestForValues(const FetchRequest& request,
                                                   const QList<FetchColumn>& columns, Error* error)
{
    adoptCurrentStore();
    std::unique_lock use(d->dbMutex);
    FetchedValues result;
    try {
        const StoreSchema& schema = d->schema();
        const FetchPlan plan(request, schema, d->coordinator->managedObjectModel());
        const bool dirty =
            request.includesPendingChanges() && plan.touches({&d->inserted, &d->updated, &d->deleted});
        QList<FetchPlan::ColumnSql> sqlColumns;
        bool sqlAnswers = !plan.hasResidual() && plan.sortsInSql() && !dirty;
        for (int i = 0; sqlAnswers && i < columns.size(); ++i) {
            FetchPlan::ColumnSql column;
            sqlAnswers = plan.columnSql(columns.at(i), column);
            sqlColumns.append(column);
        }
        if (sqlAnswers) {
            QString select = QStringLiteral("SELECT t.Z_PK, t.Z_ENT");
            QVariantList columnBinds;
            for (const FetchPlan::ColumnSql& column : std::as_const(sqlColumns)) {
                for (const QString& expression : column.expressions)
                    select += QStringLiteral(", ") + expression;
                columnBinds.append(column.binds);
            }
            select += QStringLiteral(" FROM %1 t").arg(StoreSchema::quote(schema.table(plan.entity()).name));
            SqliteStatement& s =
                d->connection().prepare(select + plan.where() + plan.orderBy() + FetchPlan::window(request));
            for (int i = 0; i < columnBinds.size(); ++i)
                s.bind(1 + i, columnBinds.at(i));
            plan.bind(s, 1 + int(columnBinds.size()));
            while (s.step()) {
                const EntityDescription* e = schema.entityForNumber(int(s.int64(1)));
                if (!e)
                    continue; // a record of an entity this model does not know
                QVariantList values;
                values.reserve(columns.size());
                int position = 2;
                for (const FetchPlan::ColumnSql& column : std::as_const(sqlColumns)) {
                    values.append(plan.readColumn(s, position, column));
                    position += int(column.expressions.size());
                }
                result.ids.append(ManagedObjectID(e, s.int64(0)));
                result.values.append(std::move(values));
            }
            s.reset();
            if (error)
                *error = Error();
            return result;
        }
    } catch (const std::exception& failure) {
        if (error)
            *error = makeError(FetchError, QString::fromStdString(failure.what()));
        return {};
    }
    // What SQL cannot answer is read from the records, with the same values.
    Error inner;
    const QList<ManagedObjectPtr> records = executeFetchRequest(request, &inner);
    if (!inner.isNull()) {
        if (error)
            *error = inner;
        return {};
    }
    try {
        for (const ManagedObjectPtr& record : records) {
            QVariantList values;
            values.reserve(columns.size());
            const QVariant self = QVariant::fromValue(record);
            for (const FetchColumn& column : columns) {
                switch (column.kind()) {
                case FetchColumn::Kind::Condition:
                    values.append(column.predicate().evaluate(record.get()));
                    break;
                case FetchColumn::Kind::Count: {
                    const RelationshipDescription* r = record->entity()->relationship(column.key());
                    values.append(qint64(r && r->toMany ? record->toManyCount(column.key()) : 0));
                    break;
                }
                case FetchColumn::Kind::KeyPath: {
                    if (column.key() == QLatin1String("entity.name")) {
                        values.append(record->entity()->name());
                        break;
                    }
                    QVariant value = KeyValueCoding::valueForKeyPath(self, column.key());
                    if (const ManagedObject* related = KeyValueCoding::record(value))
                        value = QVariant::fromValue(related->objectID());
                    else if (KeyValueCoding::isNil(value))
                        value = QVariant();
                    values.append(value);
                    break;
                }
                }
            }
            result.ids.append(record->objectID());
            result.values.append(std::move(values));
        }
    } catch (const Exception& failure) {
        if (error)
            *error = makeError(FetchError, failure.reason());
        return {};
    }
    if (error)
        *error = Error();
    return result;
}

qint64 ManagedObjectContext::countForFetchRequest(const FetchRequest& request, Error* error)
{
    adoptCurrentStore();
    std::unique_lock use(d->dbMutex);
    try {
        const StoreSchema& schema = d->schema();
        const FetchPlan plan(request, schema, d->coordinator->managedObjectModel());
        const bool dirty =
            request.includesPendingChanges() && plan.touches({&d->inserted, &d->updated, &d->deleted});
        if (!plan.hasResidual() && !dirty) {
            const qint64 n = plan.readCount(d->connection(), request);
            if (error)
                *error = Error();
            return n;
        }
    } catch (const std::exception& failure) {
        if (error)
            *error = makeError(FetchError, QString::fromStdString(failure.what()));
        return -1;
    }
    FetchRequest copy = request;
    copy.setFetchBatchSize(0);
    Error inner;
    const auto objects = executeFetchRequest(copy, &inner);
    if (error)
        *error = inner;
    return inner.isNull() ? objects.size() : -1;
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

void ManagedObjectContext::reset()
{
    // Records end what they started (observations) before they leave the context.
    const QList<ManagedObjectPtr> live = registeredObjects();
    for (const auto& o : live)
        if (o->m_loaded && !o->m_deleted)
            o->willTurnIntoFault();
    for (const auto& o : live)
        o->m_context = nullptr;
    d->registry.clear();
    d->inserted.clear();
    d->updated.clear();
    d->deleted.clear();
    d->observed.clear();
    d->pendingInserted.clear();
    d->pendingUpdated.clear();
    d->pendingDeleted.clear();
    d->pendingInvalidated = true;
    processPendingChanges();
}

void ManagedObjectContext::processPendingChanges()
{
    d->processScheduled = false;
    ObjectsDidChangeNotification note;
    note.inserted = d->pendingInserted.values();
    note.updated = d->pendingUpdated.values();
    note.deleted = d->pendingDeleted.values();
    note.invalidatedAll = d->pendingInvalidated;
    d->pendingInserted.clear();
    d->pendingUpdated.clear();
    d->pendingDeleted.clear();
    d->pendingInvalidated = false;
    if (!note.isEmpty())
        emit objectsDidChange(note);
}

void ManagedObjectContext::lock()
{
    d->mutex.lock();
}

void ManagedObjectContext::unlock()
{
    d->mutex.unlock();
}

bool ManagedObjectContext::tryLock()
{
    return d->mutex.tryLock();
}

} // namespace tavrel
