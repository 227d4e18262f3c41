#include "platform/store/StoreSchema.h"

namespace tavrel {

namespace {
QString sqlType(AttributeDescription::Type type)
{
    switch (type) {
    case AttributeDescription::Type::String:
        return QStringLiteral("TEXT");
    case AttributeDescription::Type::Int64:
    case AttributeDescription::Type::Bool:
    case AttributeDescription::Type::Date:
        return QStringLiteral("INTEGER");
    case AttributeDescription::Type::Double:
        return QStringLiteral("REAL");
    case AttributeDescription::Type::Data:
    case AttributeDescription::Type::Transformable:
        return QStringLiteral("BLOB");
    }
    return QStringLiteral("BLOB");
}

bool isCanonicalSide(const RelationshipDescription* r)
{
    if (!r->inverse)
        return true;
    const QString a = r->entity->name() + QLatin1Char('.') + r->name;
    const QString b = r->inverse->entity->name() + QLatin1Char('.') + r->inverse->name;
    return a <= b;
}
} // namespace

QString StoreSchema::quote(const QString& identifier)
{
    QString q = identifier;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

StoreSchema::StoreSchema(const ManagedObjectModel& model, const QHash<QString, int>& entityNumbers)
{
    const auto entities = model.entities();
    for (const EntityDescription* e : entities) {
        const int n = entityNumbers.value(e->name(), -1);
        m_numbers.insert(e, n);
        m_byNumber.insert(n, e);
    }
    // Tables per hierarchy.
    for (const EntityDescription* e : entities) {
        if (e->parent())
            continue;
        Table t;
        t.root = e;
        t.name = QStringLiteral("Z") + e->name();
        auto addIndex = [&t](const Index& index) {
            if (!t.indexes.contains(index))
                t.indexes.append(index);
        };
        QList<Index> keyIndexes;
        for (const EntityDescription* member : e->selfAndDescendants()) {
            for (const AttributeDescription* a : member->attributes()) {
                if (!t.columns.contains(a->name)) {
                    t.columns.append(a->name);
                    t.columnTypes.append(sqlType(a->type));
                }
                if (a->indexed)
                    addIndex(Index{{a->name}, false, false, {}});
            }
            for (const RelationshipDescription* r : member->relationships()) {
                if (r->toMany || t.columns.contains(r->name))
                    continue;
                t.columns.append(r->name);
                t.columnTypes.append(QStringLiteral("INTEGER"));
                t.columns.append(r->name + QStringLiteral("_ent"));
                t.columnTypes.append(QStringLiteral("INTEGER"));
                // Looked up from the to-many side of one-to-many pairs (and by predicates comparing the
                // link). Both sides of a one-to-one pair keep their own column, so neither needs an
                // index. Most records have no link: those stay out of the index.
                if (!r->inverse || r->inverse->toMany)
                    keyIndexes.append(Index{{r->name}, true, false, {}});
            }
            for (const QStringList& index : member->indexes())
                addIndex(Index{index, false, false, {}});
            for (const QString& name : member->caseInsensitiveIndexes())
                addIndex(Index{{name}, false, true, {}});
        }
        // In a table shared by several entities, lookups and sorted scans of one entity go through
        // indexes that lead with the entity number.
        int concrete = 0;
        for (const EntityDescription* member : e->selfAndDescendants())
            concrete += member->isAbstract() ? 0 : 1;
        t.shared = concrete > 1;
        if (t.shared) {
            const QList<Index> plain = t.indexes;
            for (const Index& index : plain) {
                Index led = index;
                led.columns.prepend(QStringLiteral("Z_ENT"));
                addIndex(led);
            }
        }
        for (const Index& index : std::as_const(keyIndexes))
            addIndex(index);
        // Every read of a record starts with it: built once.
        t.selectAll = QStringLiteral("SELECT t.Z_PK, t.Z_ENT");
        for (const QString& c : std::as_const(t.columns))
            t.selectAll += QStringLiteral(", t.") + quote(c);
        t.selectAll += QStringLiteral(" FROM ") + quote(t.name) + QStringLiteral(" t");
        for (Index& index : t.indexes)
            index.name = QStringLiteral("%1_%2%3_index")
                             .arg(t.name, index.columns.join(QLatin1Char('_')),
                                  index.caseInsensitive ? QStringLiteral("_nocase") : QString());
        m_tableIndex.insert(e, int(m_tables.size()));
        m_tables.append(t);
    }
    for (const EntityDescription* e : entities)
        m_tableIndex.insert(e, m_tableIndex.value(e->rootEntity()));

    // Relationship storage.
    for (const EntityDescription* e : entities) {
        for (const RelationshipDescription* r : e->relationships()) {
            if (m_relations.contains(r))
                continue;
            Relation rel;
            if (!r->toMany) {
                rel.storage = Storage::ForeignKey;
                rel.column = r->name;
            } else if (r->inverse && !r->inverse->toMany) {
                rel.storage = Storage::InverseForeignKey;
                rel.column = r->inverse->name;
            } else {
                rel.storage = Storage::JoinTable;
                const RelationshipDescription* canonical = isCanonicalSide(r) ? r : r->inverse;
                rel.joinTable = QStringLiteral("Z_%1_%2").arg(canonical->entity->name(), canonical->name);
                rel.selfColumn = canonical == r ? QStringLiteral("Z_A") : QStringLiteral("Z_B");
                rel.otherColumn = canonical == r ? QStringLiteral("Z_B") : QStringLiteral("Z_A");
                bool known = false;
                for (const JoinTable& j : m_joinTables)
                    known = known || j.name == rel.joinTable;
                if (!known)
                    m_joinTables.append(JoinTable{rel.joinTable});
            }
            m_relations.insert(r, rel);
        }
    }

    // Layouts.
    for (const EntityDescription* e : entities) {
        Layout l;
        l.table = &m_tables[m_tableIndex.value(e)];
        for (const AttributeDescription* a : e->attributes())
            l.attributeColumns.append(2 + int(l.table->columns.indexOf(a->name)));
        for (const RelationshipDescription* r : e->relationships())
            l.relationColumns.append(r->toMany ? -1 : 2 + int(l.table->columns.indexOf(r->name)));
        // Abstract entities hold no records: only concrete ones are filtered for.
        int tableConcrete = 0;
        for (const EntityDescription* d : e->rootEntity()->selfAndDescendants())
            tableConcrete += d->isAbstract() ? 0 : 1;
        for (const EntityDescription* d : e->selfAndDescendants())
            if (!d->isAbstract())
                l.entityNumbers.append(m_numbers.value(d));
        l.wholeTable = l.entityNumbers.size() == tableConcrete;
        m_layouts.insert(e, l);
    }
}

QString StoreSchema::createIndexSql(const Table& table, const Index& index)
{
    QStringList cols;
    for (const QString& c : index.columns)
        cols.append(quote(c) + (index.caseInsensitive ? QStringLiteral(" COLLATE NOCASE") : QString()));
    QString sql = QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
                      .arg(quote(index.name), quote(table.name), cols.join(QStringLiteral(", ")));
    if (index.partial)
        sql += QStringLiteral(" WHERE %1 IS NOT NULL").arg(quote(index.columns.first()));
    return sql;
}

const StoreSchema::Table& StoreSchema::table(const EntityDescription* entity) const
{
    return m_tables[m_tableIndex.value(entity)];
}

const StoreSchema::Layout& StoreSchema::layout(const EntityDescription* entity) const
{
    auto it = m_layouts.constFind(entity);
    Q_ASSERT(it != m_layouts.constEnd());
    return *it;
}

const StoreSchema::Relation& StoreSchema::relation(const RelationshipDescription* relationship) const
{
    auto it = m_relations.constFind(relationship);
    Q_ASSERT(it != m_relations.constEnd());
    return *it;
}

QString StoreSchema::selectAll(const EntityDescription* entity) const
{
    return table(entity).selectAll;
}

QString StoreSchema::entityFilter(const EntityDescription* entity, bool includeSubentities,
                                  const QString& alias) const
{
    const Layout& l = layout(entity);
    if (includeSubentities && l.wholeTable)
        return {};
    QStringList numbers;
    if (includeSubentities)
        for (int n : l.entityNumbers)
            numbers.append(QString::number(n));
    else
        numbers.append(QString::number(entityNumber(entity)));
    if (numbers.isEmpty())
        return QStringLiteral("0");
    if (numbers.size() == 1)
        return QStringLiteral("%1.Z_ENT = %2").arg(alias, numbers.first());
    // Several entities are usually most of the table: leave the choice of index to the other terms
    // and the order, so that a sorted first page reads its sort index instead of sorting everything.
    return QStringLiteral("+%1.Z_ENT IN (%2)").arg(alias, numbers.join(QLatin1Char(',')));
}

} // namespace tavrel
