#pragma once

#include "platform/store/EntityDescription.h"
#include "platform/store/KeyBits.h"
#include "platform/store/ManagedObjectID.h"
#include "platform/store/RecordRelations.h"
#include "platform/store/RecordValues.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMetaType>
#include <QPointer>
#include <QSet>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

namespace tavrel {

class ManagedObjectContext;
class ManagedObject;
struct ManagedObjectContextLink;
using ManagedObjectPtr = std::shared_ptr<ManagedObject>;

// A record: the base class of every entity class. Records are owned by shared pointers; the context
// keeps unchanged records only weakly, so a record nobody holds is released. A record belongs to one
// context and is used on that context's thread only.
//
// An entity class derives from ManagedObject, is registered with EntityDescription::setRecordClass<T>()
// and offers typed accessors over the stored values:
//     QString title() const { return stringValue("title"); }
//     void setTitle(const QString& t) { setValueForKey("title", t); }
class ManagedObject : public std::enable_shared_from_this<ManagedObject>
{
public:
    using Observer = std::function<void(ManagedObject* object, const QString& key)>;

    ManagedObject() = default;
    virtual ~ManagedObject();
    ManagedObject(const ManagedObject&) = delete;
    ManagedObject& operator=(const ManagedObject&) = delete;

    const EntityDescription* entity() const { return m_entity; }
    ManagedObjectID objectID() const { return m_id; }
    // Nothing once the context is gone or the record was removed from it (reset, delete saved).
    ManagedObjectContext* managedObjectContext() const;

    bool isInserted() const { return m_inserted; }
    bool isDeleted() const { return m_deleted; }
    bool isUpdated() const;
    bool hasChanges() const { return m_inserted || m_deleted || isUpdated(); }
    bool isFault() const { return !m_loaded; }
    // Keys changed since the last save, with their new values (relationships as records).
    QVariantMap changedValues() const;

    // Key-value access. Attributes answer their value (invalid = nil); a to-one relationship a
    // QVariant holding a ManagedObjectPtr (invalid when empty); a to-many a QVariantList of them.
    // "self" answers the record itself, "objectID" its id, "entity" its entity (whose "name" is
    // reachable by the key path "entity.name"). Subclasses add derived keys by overriding and falling
    // back to the base. An unknown key raises NSUndefinedKeyException.
    virtual QVariant valueForKey(const QString& key) const;
    virtual void setValueForKey(const QString& key, const QVariant& value);
    // Dotted path; through a to-many the result is a QVariantList of the next values (flattened).
    QVariant valueForKeyPath(const QString& keyPath) const;
    void setValueForKeyPath(const QString& keyPath, const QVariant& value);

    // Stored values without observers and hooks.
    QVariant primitiveValueForKey(const QString& key) const;
    void setPrimitiveValueForKey(const QString& key, const QVariant& value);

    // Typed attribute accessors for entity classes.
    QString stringValue(const QString& key) const;
    qint64 int64Value(const QString& key) const;
    double doubleValue(const QString& key) const;
    bool boolValue(const QString& key) const;
    QDateTime dateValue(const QString& key) const;
    QByteArray dataValue(const QString& key) const;

    // Relationship accessors. Setting one side updates the inverse side of every record involved.
    ManagedObjectPtr toOne(const QString& key) const;
    template <typename T> std::shared_ptr<T> toOne(const QString& key) const
    {
        return std::dynamic_pointer_cast<T>(toOne(key));
    }
    void setToOne(const QString& key, const ManagedObjectPtr& object);
    QList<ManagedObjectPtr> toMany(const QString& key) const;
    template <typename T> QList<std::shared_ptr<T>> toMany(const QString& key) const
    {
        QList<std::shared_ptr<T>> result;
        for (const auto& o : toMany(key))
            if (auto t = std::dynamic_pointer_cast<T>(o))
                result.append(t);
        return result;
    }
    QList<ManagedObjectID> toManyIDs(const QString& key) const;
    qsizetype toManyCount(const QString& key) const;
    void addToMany(const QString& key, const ManagedObjectPtr& object);
    void removeFromMany(const QString& key, const ManagedObjectPtr& object);
    void setToMany(const QString& key, const QList<ManagedObjectPtr>& objects);

    // Per-key change observers between records of one context. The observer is called after a change
    // of the key (by a setter, didChangeValueForKey or a merge). An observed record stays in memory
    // while observed; an observer's watches end when it is destroyed.
    void addObserver(const QString& key, ManagedObject* observer, Observer callback);
    void removeObserver(const QString& key, ManagedObject* observer);
    // Announces a change of a (derived) key to its observers.
    void didChangeValueForKey(const QString& key);

    // Turns the record back into a fault: values are dropped and loaded again on next access. Records
    // with unsaved changes keep them.
    void turnIntoFault();

protected:
    // Hooks: after insertion into a context (after the parent entity's hook: call the base first),
    // after the stored values were loaded, before the record is turned into a fault.
    virtual void awakeFromInsert() {}
    virtual void awakeFromFetch() {}
    virtual void willTurnIntoFault() {}

private:
    friend class ManagedObjectContext;
    friend class StoreRowReader;
    friend class StoreSaveWriter;
    struct Watch
    {
        QString key;
        ManagedObject* observer;
        Observer callback;
    };

    void fire() const; // loads values when a fault
    int attributeIndexOrThrow(const QString& key) const;
    const RelationshipDescription* relationshipOrThrow(const QString& key) const;
    void notifyObservers(const QString& key);
    void checkSameContext(const ManagedObject* other, const QString& key) const;

    const EntityDescription* m_entity = nullptr;
    ManagedObjectID m_id;
    QPointer<ManagedObjectContext> m_context;
    // The registering context while it lives: a record let go on another thread tells it through this,
    // never through a context being destroyed meanwhile.
    std::shared_ptr<ManagedObjectContextLink> m_link;
    bool m_inserted = false;
    bool m_deleted = false;
    mutable bool m_loaded = false;
    mutable RecordValues m_values; // per attribute, in EntityDescription::attributes() order
    // Per relationship: to-one holds at most one id; to-many is loaded on demand.
    mutable RecordRelations m_relations;
    KeyBits m_changedAttributes;
    KeyBits m_changedRelationships;
    // Observations, made only for the few records that take part in them.
    struct Watches
    {
        QList<Watch> on;                                              // watches on this record
        QList<std::pair<std::weak_ptr<ManagedObject>, QString>> made; // watches this record made
    };
    Watches& watches();
    std::unique_ptr<Watches> m_watches;
    // Batch faulting: the fetch this fault came from, to load its neighbours with it.
    struct FaultBatch
    {
        QList<ManagedObjectID> ids;
        qsizetype size = 0;
    };
    std::shared_ptr<FaultBatch> m_batch;
    qsizetype m_batchIndex = -1;
    // Relationship values as last saved, kept from the first change until the next save.
    QHash<int, QList<ManagedObjectID>> m_savedRelations;
};

} // namespace tavrel

Q_DECLARE_METATYPE(tavrel::ManagedObjectPtr)
