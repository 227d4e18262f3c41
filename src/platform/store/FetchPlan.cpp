#include "platform/store/FetchPlan.h"

#include "platform/store/FetchColumn.h"
#include "platform/store/FetchRequest.h"
#include "platform/store/PredicateNode.h"
#include "platform/store/PredicateSqlTranslator.h"
#include "platform/store/SqliteConnection.h"
#include "platform/store/StoreRowReader.h"
#include "platform/store/StoreSchema.h"

#include <QSet>

namespace tavrel {

FetchPlan::FetchPlan(const FetchRequest& request, const StoreSchema& schema, const ManagedObjectModel& model)
    : m_schema(&schema), m_includesSubentities(request.includesSubentities())
{
    m_entity = model.entity(request.entityName());
    if (!m_entity)
        throw SqliteConnection::Failure(
            0, QStringLiteral("The model has no entity named %1").arg(request.entityName()));
    QStringList conditions;
    const QString filter = schema.entityFilter(m_entity, request.includesSubentities(), QStringLiteral("t"));
    if (!filter.isEmpty())
        conditions.append(filter);
    if (const auto& node = request.predicate().node()) {
        PredicateSqlTranslator translator(schema);
        QList<std::shared_ptr<const PredicateNode>> parts;
        if (node->kind == PredicateNode::Kind::And)
            parts = node->children;
        else
            parts = {node};
        for (const auto& part : parts) {
            QString sql;
            QVariantList binds;
            if (translator.translate(*part, m_entity, QStringLiteral("t"), sql, binds)) {
                conditions.append(QLatin1Char('(') + sql + QLatin1Char(')'));
                m_binds.append(binds);
            } else {
                m_residual.append(part);
            }
        }
    }
    if (!conditions.isEmpty())
        m_where = QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    QStringList order;
    for (const SortDescriptor& sd : request.sortDescriptors()) {
        // An attribute, or an attribute reached through to-one relationships (as "owner.address"),
        // read by a subquery that answers NULL where a link is missing, as nil sorts in memory.
        const QStringList comps = sd.key().split(QLatin1Char('.'));
        const EntityDescription* e = m_entity;
        QString term;
        QStringList closers;
        QString alias = QStringLiteral("t");
        for (int i = 0; i + 1 < comps.size() && e; ++i) {
            const RelationshipDescription* r = e->relationship(comps[i]);
            if (!r || r->toMany) {
                e = nullptr;
                break;
            }
            const QString sub = QStringLiteral("s%1_%2").arg(order.size()).arg(i);
            term += QStringLiteral("(SELECT ");
            closers.prepend(QStringLiteral(" FROM %1 %2 WHERE %2.Z_PK = %3.%4)")
                                .arg(StoreSchema::quote(schema.table(r->destination).name), sub, alias,
                                     StoreSchema::quote(r->name)));
            alias = sub;
            e = r->destination;
        }
        const AttributeDescription* a = e ? e->attribute(comps.last()) : nullptr;
        if (sd.hasComparator() || !a || a->type == AttributeDescription::Type::Transformable) {
            m_sqlSort = false;
            break;
        }
        term += alias + QLatin1Char('.') + StoreSchema::quote(a->name) + closers.join(QString());
        if (a->type == AttributeDescription::Type::String) {
            switch (sd.comparison()) {
            case SortDescriptor::Comparison::CaseInsensitive:
                term += QStringLiteral(" COLLATE TV_CI");
                break;
            case SortDescriptor::Comparison::Localized:
                term += QStringLiteral(" COLLATE TV_LOC");
                break;
            case SortDescriptor::Comparison::LocalizedCaseInsensitive:
                term += QStringLiteral(" COLLATE TV_LOCCI");
                break;
            default:
                break;
            }
        }
        order.append(term + (sd.ascending() ? QStringLiteral(" ASC") : QStringLiteral(" DESC")));
    }
    // Ties go by key, in the direction of the last key, so an index serves the whole order.
    const bool lastDescending =
        !request.sortDescriptors().isEmpty() && !request.sortDescriptors().last().ascending();
    order.append(lastDescending ? QStringLiteral("t.Z_PK DESC") : QStringLiteral("t.Z_PK"));
    m_orderBy = QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));
}

void FetchPlan::bind(SqliteStatement& statement, int first) const
{
    for (int i = 0; i < m_binds.size(); ++i)
        statement.bind(first + i, m_binds[i]);
}

bool FetchPlan::columnSql(const FetchColumn& column, ColumnSql& out) const
{
    using Read = ColumnSql::Read;
    out = ColumnSql();
    switch (column.kind()) {
    case FetchColumn::Kind::Condition: {
        const auto& node = column.predicate().node();
        out.read = Read::Condition;
        if (!node) {
            out.expressions = {QStringLiteral("1")};
            return true;
        }
        // Subquery aliases of the column's own, apart from those of the conditions.
        PredicateSqlTranslator translator(*m_schema);
        QString sql;
        if (!translator.translate(*node, m_entity, QStringLiteral("t"), sql, out.binds))
            return false;
        out.expressions = {QStringLiteral("(CASE WHEN (%1) THEN 1 ELSE 0 END)").arg(sql)};
        return true;
    }
    case FetchColumn::Kind::Count: {
        // Also a relationship of a sub-entity: the other records of the table hold none.
        const RelationshipDescription* r = nullptr;
        for (const EntityDescription* e : m_entity->selfAndDescendants())
            if (!r)
                r = e->relationship(column.key());
        if (!r || !r->toMany)
            return false;
        const StoreSchema::Relation& rel = m_schema->relation(r);
        out.read = Read::Count;
        if (rel.storage == StoreSchema::Storage::InverseForeignKey)
            out.expressions = {QStringLiteral("(SELECT COUNT(*) FROM %1 c WHERE c.%2 = t.Z_PK)")
                                   .arg(StoreSchema::quote(m_schema->table(r->destination).name),
                                        StoreSchema::quote(rel.column))};
        else if (rel.storage == StoreSchema::Storage::JoinTable)
            out.expressions = {QStringLiteral("(SELECT COUNT(*) FROM %1 c WHERE c.%2 = t.Z_PK)")
                                   .arg(StoreSchema::quote(rel.joinTable), rel.selfColumn)};
        else
            return false;
        return true;
    }
    case FetchColumn::Kind::KeyPath:
        break;
    }
    if (column.key() == QLatin1String("entity.name")) {
        out.read = Read::EntityName;
        out.expressions = {QStringLiteral("t.Z_ENT")};
        return true;
    }
    // Through to-ones by subqueries that answer NULL where a link is missing, as for the order.
    const QStringList comps = column.key().split(QLatin1Char('.'));
    const EntityDescription* e = m_entity;
    QString opening;
    QStringList closers;
    QString alias = QStringLiteral("t");
    for (int i = 0; i + 1 < comps.size(); ++i) {
        const RelationshipDescription* r = e->relationship(comps[i]);
        if (!r || r->toMany)
            return false;
        const QString sub = QStringLiteral("v%1").arg(i);
        opening += QStringLiteral("(SELECT ");
        closers.prepend(QStringLiteral(" FROM %1 %2 WHERE %2.Z_PK = %3.%4)")
                            .arg(StoreSchema::quote(m_schema->table(r->destination).name), sub, alias,
                                 StoreSchema::quote(r->name)));
        alias = sub;
        e = r->destination;
    }
    const QString closing = closers.join(QString());
    if (const AttributeDescription* a = e->attribute(comps.last())) {
        if (a->type == AttributeDescription::Type::Transformable)
            return false;
        out.read = Read::Attribute;
        out.type = a->type;
        out.expressions = {opening + alias + QLatin1Char('.') + StoreSchema::quote(a->name) + closing};
        return true;
    }
    const RelationshipDescription* r = e->relationship(comps.last());
    if (!r || r->toMany || m_schema->relation(r).storage != StoreSchema::Storage::ForeignKey)
        return false;
    const QString key = m_schema->relation(r).column;
    out.read = Read::Link;
    out.expressions = {opening + alias + QLatin1Char('.') + StoreSchema::quote(key) + closing,
                       opening + alias + QLatin1Char('.') + StoreSchema::quote(key + QStringLiteral("_ent")) +
                           closing};
    return true;
}

QVariant FetchPlan::readColumn(const SqliteStatement& s, int position, const ColumnSql& column) const
{
    using Read = ColumnSql::Read;
    switch (column.read) {
    case Read::Attribute:
        return StoreRowReader::readValue(s, position, column.type);
    case Read::Link: {
        if (s.isNull(position))
            return {};
        const EntityDescription* e =
            s.isNull(position + 1) ? nullptr : m_schema->entityForNumber(int(s.int64(position + 1)));
        if (!e)
            return {};
        return QVariant::fromValue(ManagedObjectID(e, s.int64(position)));
    }
    case Read::EntityName: {
        const EntityDescription* e = m_schema->entityForNumber(int(s.int64(position)));
        return e ? QVariant(e->name()) : QVariant();
    }
    case Read::Count:
        return s.int64(position);
    case Read::Condition:
        return s.int64(position) != 0;
    }
    return {};
}

QString FetchPlan::selectKeys() const
{
    return QStringLiteral("SELECT t.Z_PK, t.Z_ENT FROM %1 t")
               .arg(StoreSchema::quote(m_schema->table(m_entity).name)) +
           m_where + m_orderBy;
}

QList<ManagedObjectID> FetchPlan::readIDs(SqliteConnection& db, const FetchRequest& request) const
{
    QList<ManagedObjectID> ids;
    SqliteStatement& s = db.prepare(selectKeys() + window(request));
    bind(s);
    while (s.step())
        if (const EntityDescription* e = m_schema->entityForNumber(int(s.int64(1))))
            ids.append(ManagedObjectID(e, s.int64(0)));
    s.reset();
    return ids;
}

qint64 FetchPlan::readCount(SqliteConnection& db, const FetchRequest& request) const
{
    SqliteStatement& s = db.prepare(
        QStringLiteral("SELECT COUNT(*) FROM %1 t").arg(StoreSchema::quote(m_schema->table(m_entity).name)) +
        m_where);
    bind(s);
    qint64 n = s.step() ? s.int64(0) : 0;
    s.reset();
    n = qMax<qint64>(0, n - request.fetchOffset());
    if (request.fetchLimit() > 0)
        n = qMin<qint64>(n, request.fetchLimit());
    return n;
}

QString FetchPlan::window(const FetchRequest& request)
{
    if (request.fetchLimit() <= 0 && request.fetchOffset() <= 0)
        return {};
    return QStringLiteral(" LIMIT %1 OFFSET %2")
        .arg(request.fetchLimit() > 0 ? request.fetchLimit() : -1)
        .arg(request.fetchOffset());
}

void FetchPlan::filterResidual(QList<ManagedObjectPtr>& records) const
{
    if (m_residual.isEmpty())
        return;
    records.removeIf([&](const ManagedObjectPtr& o) {
        const QVariant v = QVariant::fromValue(o);
        for (const auto& part : std::as_const(m_residual))
            if (!part->evaluate(v))
                return true;
        return false;
    });
}

bool FetchPlan::matchesEntity(const ManagedObject* record) const
{
    return m_includesSubentities ? record->entity()->isKindOfEntity(m_entity) : record->entity() == m_entity;
}

bool FetchPlan::touches(std::initializer_list<const Records*> sets) const
{
    for (const Records* set : sets)
        for (const auto& o : *set)
            if (matchesEntity(o.get()))
                return true;
    return false;
}

void FetchPlan::mergePendingChanges(QList<ManagedObjectPtr>& records, const Predicate& predicate,
                                    const Records& updated, const Records& inserted) const
{
    QSet<ManagedObject*> present;
    for (const auto& o : std::as_const(records))
        present.insert(o.get());
    records.removeIf([&](const ManagedObjectPtr& o) {
        if (o->isDeleted())
            return true;
        if (updated.contains(o->objectID()))
            return !predicate.evaluate(o.get());
        return false;
    });
    for (const Records* set : {&updated, &inserted}) {
        for (const auto& o : *set) {
            if (o->isDeleted() || present.contains(o.get()) || !matchesEntity(o.get()))
                continue;
            if (predicate.evaluate(o.get()))
                records.append(o);
        }
    }
}

} // namespace tavrel
