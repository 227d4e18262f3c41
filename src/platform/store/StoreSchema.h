#pragma once

#include "platform/store/ManagedObjectModel.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace tavrel {

// How a model lies in SQL: one table per entity hierarchy (key Z_PK, entity number Z_ENT, a column per
// attribute and per stored to-one), a join table per many-to-many pair. Entity numbers are the file's own.
class StoreSchema
{
public:
    enum class Storage { ForeignKey, InverseForeignKey, JoinTable };
    struct Index
    {
        QStringList columns;
        // A foreign key: rows without a link stay out of the index ("WHERE col IS NOT NULL"); lookups
        // by "col = ?" still use it.
        bool partial = false;
        bool caseInsensitive = false; // one text column, COLLATE NOCASE
        QString name;                 // filled in by the schema
        bool operator==(const Index& o) const
        {
            return columns == o.columns && partial == o.partial && caseInsensitive == o.caseInsensitive;
        }
    };
    struct Table
    {
        const EntityDescription* root = nullptr;
        QString name;
        QStringList columns; // after Z_PK and Z_ENT
        QStringList columnTypes;
        QList<Index> indexes;
        bool shared = false; // holds records of several concrete entities
        QString selectAll;   // see StoreSchema::selectAll
    };
    struct JoinTable
    {
        QString name; // columns Z_A, Z_A_ENT, Z_B, Z_B_ENT
    };
    struct Relation
    {
        Storage storage = Storage::ForeignKey;
        QString column;    // ForeignKey: key column on the owner's table; entity column is column + "_ent"
        QString joinTable; // JoinTable
        QString selfColumn, otherColumn; // "Z_A"/"Z_B" in the join table
    };
    struct Layout
    {
        const Table* table = nullptr;
        QList<int> attributeColumns; // select-list position of each attribute (0 = Z_PK, 1 = Z_ENT)
        QList<int> relationColumns;  // select-list position of each stored to-one, -1 otherwise
        QList<int> entityNumbers;    // this entity and its concrete descendants
        bool wholeTable = false;     // the entity's hierarchy fills the table: no Z_ENT filter needed
    };

    StoreSchema(const ManagedObjectModel& model, const QHash<QString, int>& entityNumbers);

    const QList<Table>& tables() const { return m_tables; }
    const QList<JoinTable>& joinTables() const { return m_joinTables; }
    const Table& table(const EntityDescription* entity) const;
    const Layout& layout(const EntityDescription* entity) const;
    const Relation& relation(const RelationshipDescription* relationship) const;
    int entityNumber(const EntityDescription* entity) const { return m_numbers.value(entity, -1); }
    const EntityDescription* entityForNumber(int number) const { return m_byNumber.value(number, nullptr); }
    // "SELECT t.Z_PK, t.Z_ENT, t."a", ... FROM "Z..." t"
    QString selectAll(const EntityDescription* entity) const;
    // "t.Z_ENT IN (..)" or empty when the entity's hierarchy fills its table.
    QString entityFilter(const EntityDescription* entity, bool includeSubentities,
                         const QString& alias) const;

    // "CREATE INDEX IF NOT EXISTS ..." for an index of the table.
    static QString createIndexSql(const Table& table, const Index& index);

    static QString quote(const QString& identifier);

private:
    QList<Table> m_tables;
    QList<JoinTable> m_joinTables;
    QHash<const EntityDescription*, int> m_tableIndex;
    QHash<const EntityDescription*, Layout> m_layouts;
    QHash<const RelationshipDescription*, Relation> m_relations;
    QHash<const EntityDescription*, int> m_numbers;
    QHash<int, const EntityDescription*> m_byNumber;
};

} // namespace tavrel
