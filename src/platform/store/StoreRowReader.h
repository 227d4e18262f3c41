#pragma once

#include "platform/store/AttributeDescription.h"
#include "platform/store/ManagedObject.h"

#include <QList>

namespace tavrel {

class SqliteConnection;
class SqliteStatement;
class StoreSchema;

// Reads what the store holds for records: their rows into values and to-one links, and the members of
// their to-many relationships. Unsaved changes of a record are kept over what is read. Failures raise
// SqliteConnection::Failure.
class StoreRowReader
{
public:
    StoreRowReader(SqliteConnection& db, const StoreSchema& schema) : m_db(db), m_schema(schema) {}

    // The value of an attribute of a type at a column of the row (nil for NULL).
    static QVariant readValue(const SqliteStatement& row, int column, AttributeDescription::Type type);
    // Puts a row read by StoreSchema::selectAll into the record.
    void applyRow(ManagedObject* record, const SqliteStatement& row) const;
    // Loads the rows of faults of one entity hierarchy (the first one's) in one statement; answers the
    // records it loaded, which have yet to hear awakeFromFetch.
    QList<ManagedObjectPtr> loadFaults(const QList<ManagedObjectPtr>& faults);
    // Reads a loaded record's row again.
    void reload(ManagedObject* record);
    // Appends the records a to-many relationship of the record holds, in stored order.
    void appendRelated(const ManagedObject* record, const RelationshipDescription* rel,
                       QList<ManagedObjectID>& ids);

private:
    SqliteConnection& m_db;
    const StoreSchema& m_schema;
};

} // namespace tavrel
