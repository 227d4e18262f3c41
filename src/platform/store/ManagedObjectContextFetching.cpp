#include "platform/runtime/Exception.h"
#include "platform/store/FetchPlan.h"
#include "platform/store/KeyValueCoding.h"
#include "platform/store/ManagedObjectContextPrivate.h"
#include "platform/store/SortDescriptor.h"
#include "platform/store/StoreRowReader.h"

// The context's fetches: records, their ids, chosen values and counts.

namespace tavrel {

namespace {
using managedobjectcontext::makeError;
} // namespace

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

} // namespace tavrel
