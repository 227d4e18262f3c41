#include "platform/store/StoreRowReader.h"

#include "platform/store/SqliteConnection.h"
#include "platform/store/StoreSchema.h"

#include <QHash>

namespace tavrel {

QVariant StoreRowReader::readValue(const SqliteStatement& s, int column, AttributeDescription::Type type)
{
    if (s.isNull(column))
        return {};
    switch (type) {
    case AttributeDescription::Type::String:
        return s.text(column);
    case AttributeDescription::Type::Int64:
        return s.int64(column);
    case AttributeDescription::Type::Double:
        return s.real(column);
    case AttributeDescription::Type::Bool:
        return s.int64(column) != 0;
    case AttributeDescription::Type::Date:
        return QDateTime::fromMSecsSinceEpoch(s.int64(column), Qt::UTC);
    case AttributeDescription::Type::Data:
        return s.blob(column);
    case AttributeDescription::Type::Transformable:
        return SqliteStatement::deserialize(s.blob(column));
    }
    return {};
}

void StoreRowReader::applyRow(ManagedObject* o, const SqliteStatement& s) const
{
    const EntityDescription* e = o->entity();
    const StoreSchema::Layout& layout = m_schema.layout(e);
    for (int i = 0; i < e->attributes().size(); ++i) {
        if (o->m_changedAttributes.contains(i))
            continue;
        o->m_values.set(i, readValue(s, layout.attributeColumns[i], e->attributes()[i]->type));
    }
    for (int r = 0; r < e->relationships().size(); ++r) {
        if (o->m_changedRelationships.contains(r))
            continue;
        const RelationshipDescription* rel = e->relationships()[r];
        if (rel->toMany) {
            o->m_relations.unload(r);
            continue;
        }
        const int col = layout.relationColumns[r];
        if (col < 0 || s.isNull(col)) {
            o->m_relations.set(r, {});
            continue;
        }
        const EntityDescription* target =
            s.isNull(col + 1) ? nullptr : m_schema.entityForNumber(int(s.int64(col + 1)));
        if (!target || !target->isKindOfEntity(rel->destination))
            target = rel->destination;
        o->m_relations.set(r, QList<ManagedObjectID>{ManagedObjectID(target, s.int64(col))});
    }
}

QList<ManagedObjectPtr> StoreRowReader::loadFaults(const QList<ManagedObjectPtr>& targets)
{
    QHash<qint64, ManagedObjectPtr> byKey;
    for (const auto& t : targets)
        byKey.insert(t->m_id.primaryKey(), t);
    QList<ManagedObjectPtr> loaded;
    QString sql = m_schema.selectAll(targets.first()->m_entity) + QStringLiteral(" WHERE t.Z_PK IN (");
    for (qsizetype i = 0; i < targets.size(); ++i)
        sql += i ? QStringLiteral(",?") : QStringLiteral("?");
    sql += QLatin1Char(')');
    SqliteStatement& s = m_db.prepare(sql);
    for (qsizetype i = 0; i < targets.size(); ++i)
        s.bindInt64(int(i + 1), targets[i]->m_id.primaryKey());
    while (s.step()) {
        ManagedObjectPtr t = byKey.value(s.int64(0));
        if (!t || t->m_loaded)
            continue;
        applyRow(t.get(), s);
        t->m_loaded = true;
        t->m_batch.reset();
        loaded.append(t);
    }
    s.reset();
    return loaded;
}

void StoreRowReader::reload(ManagedObject* record)
{
    SqliteStatement& s =
        m_db.prepare(m_schema.selectAll(record->m_entity) + QStringLiteral(" WHERE t.Z_PK = ?"));
    s.bindInt64(1, record->m_id.primaryKey());
    if (s.step())
        applyRow(record, s);
    s.reset();
}

void StoreRowReader::appendRelated(const ManagedObject* record, const RelationshipDescription* rel,
                                   QList<ManagedObjectID>& ids)
{
    const StoreSchema::Relation& storage = m_schema.relation(rel);
    QString sql;
    if (storage.storage == StoreSchema::Storage::InverseForeignKey) {
        sql = QStringLiteral("SELECT t.Z_PK, t.Z_ENT FROM %1 t WHERE t.%2 = ? ORDER BY t.Z_PK")
                  .arg(StoreSchema::quote(m_schema.table(rel->destination).name),
                       StoreSchema::quote(storage.column));
    } else {
        sql = QStringLiteral("SELECT %1, %1_ENT FROM %2 WHERE %3 = ? ORDER BY rowid")
                  .arg(storage.otherColumn, StoreSchema::quote(storage.joinTable), storage.selfColumn);
    }
    SqliteStatement& s = m_db.prepare(sql);
    s.bindInt64(1, record->m_id.primaryKey());
    while (s.step()) {
        const EntityDescription* target = m_schema.entityForNumber(int(s.int64(1)));
        if (!target || !target->isKindOfEntity(rel->destination))
            continue;
        ids.append(ManagedObjectID(target, s.int64(0)));
    }
    s.reset();
}

} // namespace tavrel
