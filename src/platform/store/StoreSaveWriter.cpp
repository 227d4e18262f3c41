#include "platform/store/StoreSaveWriter.h"

#include "platform/store/KeyValueCoding.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/SqliteConnection.h"
#include "platform/store/StoreSchema.h"

#include <QSet>
#include <algorithm>
#include <vector>

namespace tavrel {

namespace {
using Storage = StoreSchema::Storage;

void bindAttribute(SqliteStatement& s, int index, const AttributeDescription* a, const QVariant& value)
{
    // Values were converted to the attribute's type when set or read.
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        s.bindNull(index);
        return;
    case QMetaType::QString:
        if (a->type == AttributeDescription::Type::String && !value.toString().isNull()) {
            s.bindText(index, value.toString());
            return;
        }
        break;
    case QMetaType::Bool:
        if (a->type == AttributeDescription::Type::Bool) {
            s.bindInt64(index, value.toBool() ? 1 : 0);
            return;
        }
        break;
    case QMetaType::LongLong:
        if (a->type == AttributeDescription::Type::Int64) {
            s.bindInt64(index, value.toLongLong());
            return;
        }
        break;
    case QMetaType::QDateTime:
        if (a->type == AttributeDescription::Type::Date && value.toDateTime().isValid()) {
            s.bindInt64(index, value.toDateTime().toMSecsSinceEpoch());
            return;
        }
        break;
    default:
        break;
    }
    if (KeyValueCoding::isNil(value)) {
        s.bindNull(index);
        return;
    }
    if (a->type == AttributeDescription::Type::Transformable) {
        s.bind(index, SqliteStatement::serialize(value));
        return;
    }
    s.bind(index, a->coerce(value));
}
} // namespace

StoreSaveWriter::StoreSaveWriter(const Records& inserted, const Records& updated, const Records& deleted)
{
    for (const auto& o : std::as_const(inserted))
        if (!o->m_deleted)
            m_inserted.append(o);
    for (const auto& o : std::as_const(updated))
        if (!o->m_deleted && !o->m_inserted)
            m_updated.append(o);
    for (const auto& o : std::as_const(deleted)) {
        if (!o->m_inserted)
            m_deleted.append(o);
        m_leaving.append(o);
    }
}

void StoreSaveWriter::write(SqliteConnection& db, const StoreSchema& schema,
                            InsertStatements& insertStatements)
{
    m_db = &db;
    m_schema = &schema;
    m_insertStatements = &insertStatements;
    writeInserts();
    writeUpdates();
    writeDeletes();
}

const QString& StoreSaveWriter::insertSql(const EntityDescription* e)
{
    auto it = m_insertStatements->constFind(e);
    if (it != m_insertStatements->constEnd())
        return *it;
    QStringList cols{QStringLiteral("Z_PK"), QStringLiteral("Z_ENT")};
    for (const AttributeDescription* a : e->attributes())
        cols.append(StoreSchema::quote(a->name));
    for (const RelationshipDescription* rel : e->relationships())
        if (!rel->toMany) {
            cols.append(StoreSchema::quote(rel->name));
            cols.append(StoreSchema::quote(rel->name + QStringLiteral("_ent")));
        }
    QString marks = QStringLiteral("?");
    for (qsizetype i = 1; i < cols.size(); ++i)
        marks += QStringLiteral(",?");
    return *m_insertStatements->insert(
        e, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
               .arg(StoreSchema::quote(m_schema->table(e).name), cols.join(QLatin1Char(',')), marks));
}

void StoreSaveWriter::writeInserts()
{
    SqliteConnection& db = *m_db;
    const StoreSchema& schema = *m_schema;
    // Keys ascending per table: rows append to the end of each B-tree instead of splitting pages.
    // Sorted as plain keys, so the sort does not visit the records.
    struct Row
    {
        const EntityDescription* root;
        qint64 key;
        ManagedObject* record;
    };
    std::vector<Row> rows;
    rows.reserve(size_t(m_inserted.size()));
    for (const auto& o : std::as_const(m_inserted))
        rows.push_back(Row{o->m_entity->rootEntity(), o->m_id.primaryKey(), o.get()});
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        if (a.root != b.root)
            return std::less<const EntityDescription*>()(a.root, b.root);
        return a.key < b.key;
    });
    const EntityDescription* lastEntity = nullptr;
    SqliteStatement* insert = nullptr;
    quint64 cacheGeneration = 0;
    qint64 entityNumber = 0;
    for (const Row& row : rows) {
        ManagedObject* o = row.record;
        const EntityDescription* e = o->m_entity;
        if (e != lastEntity || db.cacheGeneration() != cacheGeneration) {
            insert = &db.prepare(insertSql(e));
            cacheGeneration = db.cacheGeneration();
            entityNumber = schema.entityNumber(e);
            lastEntity = e;
        } else {
            insert->reset();
        }
        SqliteStatement& s = *insert;
        int n = 1;
        s.bindInt64(n++, o->m_id.primaryKey());
        s.bindInt64(n++, entityNumber);
        // Parameters left unbound are NULL after the reset.
        for (int i = 0; i < e->attributes().size(); ++i, ++n)
            if (const QVariant& value = o->m_values.at(i); value.isValid())
                bindAttribute(s, n, e->attributes()[i], value);
        for (const RelationshipDescription* rel : e->relationships()) {
            if (rel->toMany)
                continue;
            const QList<ManagedObjectID>& ids = o->m_relations.list(rel->index);
            if (!ids.isEmpty()) {
                s.bindInt64(n, ids.first().primaryKey());
                s.bindInt64(n + 1, schema.entityNumber(ids.first().entity()));
            }
            n += 2;
        }
        s.run();
        writeJoinDeltas(o);
    }
}

void StoreSaveWriter::writeUpdates()
{
    SqliteConnection& db = *m_db;
    const StoreSchema& schema = *m_schema;
    for (const auto& o : std::as_const(m_updated)) {
        const EntityDescription* e = o->m_entity;
        QStringList sets;
        const QList<int> attrs = o->m_changedAttributes.values();
        for (int i : attrs)
            sets.append(StoreSchema::quote(e->attributes()[i]->name) + QStringLiteral(" = ?"));
        const QList<int> rels = o->m_changedRelationships.values();
        QList<int> storedRels;
        for (int r : rels)
            if (!e->relationships()[r]->toMany) {
                storedRels.append(r);
                sets.append(StoreSchema::quote(e->relationships()[r]->name) + QStringLiteral(" = ?"));
                sets.append(StoreSchema::quote(e->relationships()[r]->name + QStringLiteral("_ent")) +
                            QStringLiteral(" = ?"));
            }
        if (!sets.isEmpty()) {
            SqliteStatement& s = db.prepare(
                QStringLiteral("UPDATE %1 SET %2 WHERE Z_PK = ?")
                    .arg(StoreSchema::quote(schema.table(e).name), sets.join(QStringLiteral(", "))));
            int n = 1;
            for (int i : attrs)
                bindAttribute(s, n++, e->attributes()[i], o->m_values.at(i));
            for (int r : storedRels) {
                const QList<ManagedObjectID>& ids = o->m_relations.list(r);
                if (!ids.isEmpty()) {
                    s.bindInt64(n++, ids.first().primaryKey());
                    s.bindInt64(n++, schema.entityNumber(ids.first().entity()));
                } else {
                    s.bindNull(n++);
                    s.bindNull(n++);
                }
            }
            s.bindInt64(n, o->m_id.primaryKey());
            s.run();
        }
        writeJoinDeltas(o.get());
    }
}

void StoreSaveWriter::writeDeletes()
{
    SqliteConnection& db = *m_db;
    const StoreSchema& schema = *m_schema;
    for (const auto& o : std::as_const(m_deleted)) {
        const EntityDescription* e = o->m_entity;
        SqliteStatement& s = db.prepare(
            QStringLiteral("DELETE FROM %1 WHERE Z_PK = ?").arg(StoreSchema::quote(schema.table(e).name)));
        s.bindInt64(1, o->m_id.primaryKey());
        s.run();
        for (const RelationshipDescription* rel : e->relationships()) {
            const StoreSchema::Relation& storage = schema.relation(rel);
            if (storage.storage != Storage::JoinTable)
                continue;
            SqliteStatement& j =
                db.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                               .arg(StoreSchema::quote(storage.joinTable), storage.selfColumn));
            j.bindInt64(1, o->m_id.primaryKey());
            j.run();
        }
    }
}

void StoreSaveWriter::writeJoinDeltas(ManagedObject* o)
{
    SqliteConnection& db = *m_db;
    const StoreSchema& schema = *m_schema;
    for (int r : std::as_const(o->m_changedRelationships)) {
        const RelationshipDescription* rel = o->m_entity->relationships()[r];
        const StoreSchema::Relation& storage = schema.relation(rel);
        if (storage.storage != Storage::JoinTable || !o->m_relations.isLoaded(r))
            continue;
        const QList<ManagedObjectID> before = o->m_savedRelations.value(r);
        const QList<ManagedObjectID>& now = o->m_relations.list(r);
        const QString table = StoreSchema::quote(storage.joinTable);
        // Sets only for long lists: short ones are scanned faster than hashed.
        const bool large = before.size() > 16 && now.size() > 16;
        const QSet<ManagedObjectID> beforeSet =
            large ? QSet<ManagedObjectID>(before.cbegin(), before.cend()) : QSet<ManagedObjectID>();
        const QSet<ManagedObjectID> nowSet =
            large ? QSet<ManagedObjectID>(now.cbegin(), now.cend()) : QSet<ManagedObjectID>();
        for (const ManagedObjectID& id : now) {
            if (large ? beforeSet.contains(id) : before.contains(id))
                continue;
            SqliteStatement& s = db.prepare(
                QStringLiteral("INSERT OR IGNORE INTO %1 (%2, %2_ENT, %3, %3_ENT) VALUES (?, ?, ?, ?)")
                    .arg(table, storage.selfColumn, storage.otherColumn));
            s.bindInt64(1, o->m_id.primaryKey());
            s.bindInt64(2, schema.entityNumber(o->m_entity));
            s.bindInt64(3, id.primaryKey());
            s.bindInt64(4, schema.entityNumber(id.entity()));
            s.run();
        }
        for (const ManagedObjectID& id : before) {
            if (large ? nowSet.contains(id) : now.contains(id))
                continue;
            SqliteStatement& s = db.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND %3 = ?")
                                                .arg(table, storage.selfColumn, storage.otherColumn));
            s.bindInt64(1, o->m_id.primaryKey());
            s.bindInt64(2, id.primaryKey());
            s.run();
        }
    }
}

SaveNotification StoreSaveWriter::markSaved(const ManagedObjectContext* source)
{
    SaveNotification note;
    note.source = source;
    // Ids compare and hash alike whether temporary or not: the registry keeps its entries.
    note.inserted.reserve(m_inserted.size());
    for (const auto& o : std::as_const(m_inserted)) {
        o->m_id.m_temporary = false;
        o->m_inserted = false;
        note.inserted.append(o->m_id);
    }
    for (const auto& o : std::as_const(m_updated)) {
        QStringList keys;
        for (int i : std::as_const(o->m_changedAttributes))
            keys.append(o->m_entity->attributes()[i]->name);
        for (int r : std::as_const(o->m_changedRelationships))
            keys.append(o->m_entity->relationships()[r]->name);
        note.updated.append(o->m_id);
        note.updatedKeys.insert(o->m_id, keys);
    }
    for (const auto& o : std::as_const(m_leaving)) {
        if (!o->m_inserted)
            note.deleted.append(o->m_id);
        o->m_inserted = false;
        o->m_context = nullptr;
    }
    for (const auto* list : {&m_inserted, &m_updated}) {
        for (const auto& o : *list) {
            o->m_changedAttributes.clear();
            o->m_changedRelationships.clear();
            o->m_savedRelations.clear();
        }
    }
    return note;
}

void StoreSaveWriter::releaseInserted(Registry& registry)
{
    // A large import leaves most of its records held by nobody once saved. Erasing their registry
    // entries one by one as each goes costs more than the import's own rows; when they are most of the
    // registry, the few others are kept in a new one instead.
    // Released in the order they lie in memory, which is the order they were made.
    std::sort(m_inserted.begin(), m_inserted.end(), [](const ManagedObjectPtr& a, const ManagedObjectPtr& b) {
        return std::less<ManagedObject*>()(a.get(), b.get());
    });
    qsizetype unheld = 0;
    for (const auto& o : std::as_const(m_inserted))
        unheld += o.use_count() == 1 ? 1 : 0;
    if (unheld < 1024 || unheld * 2 < registry.size()) {
        m_inserted.clear();
        return;
    }
    for (const auto& o : std::as_const(m_inserted))
        if (o.use_count() == 1)
            o->m_context = nullptr; // leaves without telling the registry
    m_inserted.clear();
    Registry kept;
    kept.reserve(registry.size() - unheld);
    for (auto it = registry.cbegin(); it != registry.cend(); ++it)
        if (!it->expired())
            kept.insert(it.key(), *it);
    registry = std::move(kept);
}

} // namespace tavrel
