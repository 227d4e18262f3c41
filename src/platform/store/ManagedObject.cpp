#include "platform/store/ManagedObject.h"

#include "platform/runtime/Exception.h"
#include "platform/store/KeyValueCoding.h"
#include "platform/store/ManagedObjectContext.h"

#include <QThread>

namespace tavrel {

namespace {
const QString kUnknownKeyException = QStringLiteral("NSUnknownKeyException");
}

ManagedObject::~ManagedObject()
{
    const auto watching = m_watches ? m_watches->made : decltype(Watches::made)();
    if (m_watches)
        m_watches->made.clear();
    for (const auto& [weak, key] : watching)
        if (auto observed = weak.lock())
            observed->removeObserver(key, this);
    if (m_link) {
        // The context may be going on its own thread: it is told only while the link holds it. Only
        // its own thread changes its registry; a record let go elsewhere leaves an expired entry, which
        // reads as no record.
        std::lock_guard unlink(m_link->mutex);
        ManagedObjectContext* context = m_link->context;
        if (context && m_context && context->thread() == QThread::currentThread())
            context->forget(m_id);
    }
}

ManagedObject::Watches& ManagedObject::watches()
{
    if (!m_watches)
        m_watches = std::make_unique<Watches>();
    return *m_watches;
}

ManagedObjectContext* ManagedObject::managedObjectContext() const
{
    return m_context.data();
}

bool ManagedObject::isUpdated() const
{
    return !m_inserted && !m_deleted && (!m_changedAttributes.isEmpty() || !m_changedRelationships.isEmpty());
}

QVariantMap ManagedObject::changedValues() const
{
    QVariantMap result;
    if (!m_entity)
        return result;
    for (int i : m_changedAttributes)
        result.insert(m_entity->attributes()[i]->name, m_values.at(i));
    for (int r : m_changedRelationships) {
        const QString& name = m_entity->relationships()[r]->name;
        result.insert(name, valueForKey(name));
    }
    return result;
}

void ManagedObject::fire() const
{
    if (!m_loaded && m_context)
        m_context->fireFault(this);
}

int ManagedObject::attributeIndexOrThrow(const QString& key) const
{
    const int i = m_entity ? m_entity->attributeIndex(key) : -1;
    if (i < 0)
        throw Exception(kUnknownKeyException, QStringLiteral("The entity %1 has no attribute %2")
                                                  .arg(m_entity ? m_entity->name() : QString(), key));
    return i;
}

const RelationshipDescription* ManagedObject::relationshipOrThrow(const QString& key) const
{
    const RelationshipDescription* r = m_entity ? m_entity->relationship(key) : nullptr;
    if (!r)
        throw Exception(kUnknownKeyException, QStringLiteral("The entity %1 has no relationship %2")
                                                  .arg(m_entity ? m_entity->name() : QString(), key));
    return r;
}

QVariant ManagedObject::valueForKey(const QString& key) const
{
    if (m_entity) {
        const int i = m_entity->attributeIndex(key);
        if (i >= 0) {
            fire();
            return m_values.value(i);
        }
        if (const RelationshipDescription* r = m_entity->relationship(key)) {
            if (!r->toMany) {
                ManagedObjectPtr o = toOne(key);
                return o ? QVariant::fromValue(o) : QVariant();
            }
            QVariantList list;
            for (const auto& o : toMany(key))
                list.append(QVariant::fromValue(o));
            return list;
        }
    }
    if (key.compare(QLatin1String("self"), Qt::CaseInsensitive) == 0)
        return QVariant::fromValue(std::const_pointer_cast<ManagedObject>(shared_from_this()));
    if (key == QLatin1String("objectID"))
        return QVariant::fromValue(m_id);
    if (key == QLatin1String("entity"))
        return QVariant::fromValue(m_entity);
    throw Exception(kUnknownKeyException,
                    QStringLiteral("The entity %1 is not key value coding-compliant for the key %2")
                        .arg(m_entity ? m_entity->name() : QString(), key));
}

void ManagedObject::setValueForKey(const QString& key, const QVariant& value)
{
    if (m_entity) {
        if (const RelationshipDescription* r = m_entity->relationship(key)) {
            if (!r->toMany) {
                setToOne(key,
                         KeyValueCoding::isNil(value) ? ManagedObjectPtr() : value.value<ManagedObjectPtr>());
            } else {
                QList<ManagedObjectPtr> objects;
                for (const QVariant& v : value.toList())
                    if (auto o = v.value<ManagedObjectPtr>())
                        objects.append(o);
                setToMany(key, objects);
            }
            return;
        }
    }
    const int i = attributeIndexOrThrow(key);
    fire();
    const QVariant coerced = m_entity->attributes()[i]->coerce(value);
    const QVariant current = m_values.at(i);
    if (KeyValueCoding::isNil(current) == KeyValueCoding::isNil(coerced) &&
        (KeyValueCoding::isNil(current) || (current.typeId() == coerced.typeId() && current == coerced)))
        return; // same value: no change to save or announce
    m_values.set(i, coerced);
    m_changedAttributes.insert(i);
    if (m_context)
        m_context->recordChange(this);
    notifyObservers(key);
}

QVariant ManagedObject::valueForKeyPath(const QString& keyPath) const
{
    const qsizetype dot = keyPath.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return valueForKey(keyPath);
    const QVariant first = valueForKey(keyPath.left(dot));
    return KeyValueCoding::valueForKeyPath(first, keyPath.mid(dot + 1));
}

void ManagedObject::setValueForKeyPath(const QString& keyPath, const QVariant& value)
{
    const qsizetype dot = keyPath.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) {
        setValueForKey(keyPath, value);
        return;
    }
    const QVariant target = valueForKeyPath(keyPath.left(dot));
    if (auto o = target.value<ManagedObjectPtr>())
        o->setValueForKey(keyPath.mid(dot + 1), value);
}

QVariant ManagedObject::primitiveValueForKey(const QString& key) const
{
    if (m_entity && m_entity->relationship(key))
        return valueForKey(key);
    const int i = attributeIndexOrThrow(key);
    fire();
    return m_values.value(i);
}

void ManagedObject::setPrimitiveValueForKey(const QString& key, const QVariant& value)
{
    const int i = attributeIndexOrThrow(key);
    fire();
    m_values.set(i, m_entity->attributes()[i]->coerce(value));
    m_changedAttributes.insert(i);
    if (m_context)
        m_context->recordChange(this);
}

QString ManagedObject::stringValue(const QString& key) const
{
    return primitiveValueForKey(key).toString();
}

qint64 ManagedObject::int64Value(const QString& key) const
{
    return primitiveValueForKey(key).toLongLong();
}

double ManagedObject::doubleValue(const QString& key) const
{
    return primitiveValueForKey(key).toDouble();
}

bool ManagedObject::boolValue(const QString& key) const
{
    return primitiveValueForKey(key).toBool();
}

QDateTime ManagedObject::dateValue(const QString& key) const
{
    return primitiveValueForKey(key).toDateTime();
}

QByteArray ManagedObject::dataValue(const QString& key) const
{
    return primitiveValueForKey(key).toByteArray();
}

void ManagedObject::checkSameContext(const ManagedObject* other, const QString& key) const
{
    // Ids would link, but the other side would never learn of it: refuse as a programming error.
    if (other && other->m_context != m_context)
        throw Exception(Exception::kInvalidArgumentException,
                        QStringLiteral("Cannot relate %1 to %2 by \"%3\": they are in different contexts")
                            .arg(m_id.toString(), other->m_id.toString(), key));
}

ManagedObjectPtr ManagedObject::toOne(const QString& key) const
{
    const RelationshipDescription* r = relationshipOrThrow(key);
    if (r->toMany || !m_context)
        return {};
    const QList<ManagedObjectID>& ids = m_context->relationList(this, r->index);
    return ids.isEmpty() ? ManagedObjectPtr() : m_context->objectWithID(ids.first());
}

void ManagedObject::setToOne(const QString& key, const ManagedObjectPtr& object)
{
    const RelationshipDescription* r = relationshipOrThrow(key);
    if (r->toMany)
        throw Exception(Exception::kInvalidArgumentException,
                        QStringLiteral("%1 is a to-many relationship").arg(key));
    if (!m_context)
        return;
    checkSameContext(object.get(), key);
    m_context->setToOneRelationship(this, r, object.get());
}

QList<ManagedObjectID> ManagedObject::toManyIDs(const QString& key) const
{
    const RelationshipDescription* r = relationshipOrThrow(key);
    if (!m_context)
        return {};
    return m_context->relationList(this, r->index);
}

QList<ManagedObjectPtr> ManagedObject::toMany(const QString& key) const
{
    QList<ManagedObjectPtr> result;
    if (!m_context)
        return result;
    for (const ManagedObjectID& id : toManyIDs(key))
        if (auto o = m_context->objectWithID(id))
            result.append(o);
    return result;
}

qsizetype ManagedObject::toManyCount(const QString& key) const
{
    return toManyIDs(key).size();
}

void ManagedObject::addToMany(const QString& key, const ManagedObjectPtr& object)
{
    const RelationshipDescription* r = relationshipOrThrow(key);
    if (!r->toMany || !object || !m_context)
        return;
    checkSameContext(object.get(), key);
    m_context->addRelated(this, r, object.get());
}

void ManagedObject::removeFromMany(const QString& key, const ManagedObjectPtr& object)
{
    const RelationshipDescription* r = relationshipOrThrow(key);
    if (!r->toMany || !object || !m_context)
        return;
    m_context->removeRelated(this, r, object->objectID());
}

void ManagedObject::setToMany(const QString& key, const QList<ManagedObjectPtr>& objects)
{
    const RelationshipDescription* r = relationshipOrThrow(key);
    if (!r->toMany || !m_context)
        return;
    QList<ManagedObjectID> wanted;
    for (const auto& o : objects)
        if (o)
            wanted.append(o->objectID());
    for (const ManagedObjectID& id : toManyIDs(key))
        if (!wanted.contains(id))
            m_context->removeRelated(this, r, id);
    for (const auto& o : objects)
        checkSameContext(o.get(), key);
    for (const auto& o : objects)
        if (o)
            m_context->addRelated(this, r, o.get());
}

void ManagedObject::addObserver(const QString& key, ManagedObject* observer, Observer callback)
{
    const bool first = watches().on.isEmpty();
    m_watches->on.append(Watch{key, observer, std::move(callback)});
    if (observer)
        observer->watches().made.append({weak_from_this(), key});
    if (first && m_context)
        m_context->keepObserved(this, true);
}

void ManagedObject::removeObserver(const QString& key, ManagedObject* observer)
{
    const bool had = m_watches && !m_watches->on.isEmpty();
    if (had)
        m_watches->on.removeIf([&](const Watch& w) { return w.key == key && w.observer == observer; });
    if (observer && observer->m_watches) {
        const auto self = this;
        observer->m_watches->made.removeIf([&](const std::pair<std::weak_ptr<ManagedObject>, QString>& w) {
            auto locked = w.first.lock();
            return w.second == key && (locked.get() == self || !locked);
        });
    }
    if (had && m_watches->on.isEmpty() && m_context)
        m_context->keepObserved(this, false);
}

void ManagedObject::didChangeValueForKey(const QString& key)
{
    notifyObservers(key);
}

void ManagedObject::notifyObservers(const QString& key)
{
    if (!m_watches || m_watches->on.isEmpty())
        return;
    const auto watches = m_watches->on;
    for (const Watch& w : watches)
        if (w.key == key && w.callback)
            w.callback(this, key);
}

void ManagedObject::turnIntoFault()
{
    if (m_context)
        m_context->refreshObject(shared_from_this(), false);
}

} // namespace tavrel
