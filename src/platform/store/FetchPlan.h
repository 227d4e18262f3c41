#pragma once

#include "platform/store/AttributeDescription.h"
#include "platform/store/ManagedObject.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <initializer_list>
#include <memory>

namespace tavrel {

class FetchColumn;
class FetchRequest;
class ManagedObjectModel;
class Predicate;
class PredicateNode;
class SqliteConnection;
class SqliteStatement;
class StoreSchema;

// How a fetch request runs: the conditions and the order SQLite answers over the alias "t", and what is
// left to memory (predicate parts without an SQL form, sort keys SQL cannot order by, unsaved changes).
class FetchPlan
{
public:
    using Records = QHash<ManagedObjectID, ManagedObjectPtr>;

    // Raises SqliteConnection::Failure when the model has no entity of the request's name.
    FetchPlan(const FetchRequest& request, const StoreSchema& schema, const ManagedObjectModel& model);

    const EntityDescription* entity() const { return m_entity; }
    // " WHERE ..." or nothing; bind() gives its values, from the first parameter on.
    const QString& where() const { return m_where; }
    void bind(SqliteStatement& statement, int first = 1) const;
    // " ORDER BY ...", ending with the key.
    const QString& orderBy() const { return m_orderBy; }
    // "SELECT t.Z_PK, t.Z_ENT FROM <table> t" followed by the conditions and the order.
    QString selectKeys() const;
    // " LIMIT .. OFFSET .." for the request's window, or nothing when it has none.
    static QString window(const FetchRequest& request);

    // The ids of the results, when SQL answers the whole request (no residual, SQL order, no unsaved
    // changes of the entity).
    QList<ManagedObjectID> readIDs(SqliteConnection& db, const FetchRequest& request) const;
    // The number of results within the request's window, when SQL answers the whole predicate.
    qint64 readCount(SqliteConnection& db, const FetchRequest& request) const;

    // How a column of executeFetchRequestForValues reads over the alias "t": one or two expressions
    // after the key and entity number, with their values bound before those of the conditions.
    struct ColumnSql
    {
        enum class Read { Attribute, Link, EntityName, Count, Condition };
        Read read = Read::Attribute;
        QStringList expressions;
        QVariantList binds;
        AttributeDescription::Type type = AttributeDescription::Type::String;
    };
    // False when SQL cannot answer the column (the records are read instead).
    bool columnSql(const FetchColumn& column, ColumnSql& out) const;
    // A value read for a column at the statement's position.
    QVariant readColumn(const SqliteStatement& statement, int position, const ColumnSql& column) const;

    // False when a sort key is not an attribute (or one reached through to-ones): sort in memory.
    bool sortsInSql() const { return m_sqlSort; }
    // Predicate parts that every result must also pass in memory.
    bool hasResidual() const { return !m_residual.isEmpty(); }
    void filterResidual(QList<ManagedObjectPtr>& records) const;

    // Whether a record of these (unsaved) sets is of the fetched entity.
    bool touches(std::initializer_list<const Records*> sets) const;
    // Brings the context's unsaved changes into results read from the store: deleted records leave,
    // changed ones are judged by their current values, inserted and changed ones that match join.
    void mergePendingChanges(QList<ManagedObjectPtr>& records, const Predicate& predicate,
                             const Records& updated, const Records& inserted) const;

private:
    bool matchesEntity(const ManagedObject* record) const;

    const StoreSchema* m_schema;
    const EntityDescription* m_entity = nullptr;
    bool m_includesSubentities = true;
    QString m_where;
    QVariantList m_binds;
    QList<std::shared_ptr<const PredicateNode>> m_residual;
    QString m_orderBy;
    bool m_sqlSort = true;
};

} // namespace tavrel
