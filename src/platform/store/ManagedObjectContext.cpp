#include "platform/store/ManagedObjectContext.h"

#include "platform/runtime/Exception.h"
#include "platform/store/ManagedObjectContextPrivate.h"
#include "platform/store/StoreRowReader.h"

#include <QMetaObject>
#include <QSet>

namespace tavrel {

const QString ManagedObjectContext::kErrorDomain = QStringLiteral("NSCocoaErrorDomain");

namespace {
using managedobjectcontext::makeError;
} // namespace

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
