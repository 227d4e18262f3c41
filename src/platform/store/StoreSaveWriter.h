#pragma once

#include "platform/store/ManagedObject.h"
#include "platform/store/SaveNotification.h"

#include <QHash>
#include <QList>
#include <QString>

namespace tavrel {

class ManagedObjectContext;
class SqliteConnection;
class StoreSchema;

// Writes one save of a context: the rows of its inserted, changed and deleted records (inside the
// caller's transaction), then, once committed, marks the records saved.
class StoreSaveWriter
{
public:
    using Records = QHash<ManagedObjectID, ManagedObjectPtr>;
    using Registry = QHash<ManagedObjectID, std::weak_ptr<ManagedObject>>;
    // "INSERT INTO ..." per entity, kept by the context from one save to the next.
    using InsertStatements = QHash<const EntityDescription*, QString>;

    // Takes what the save writes from the context's change sets; a record inserted and deleted again
    // writes nothing.
    StoreSaveWriter(const Records& inserted, const Records& updated, const Records& deleted);

    // Raises SqliteConnection::Failure; the caller's transaction is rolled back then.
    void write(SqliteConnection& db, const StoreSchema& schema, InsertStatements& insertStatements);
    // After the commit: ids become permanent, changed keys are forgotten, deleted records leave their
    // context. Answers what the save wrote.
    SaveNotification markSaved(const ManagedObjectContext* source);

    // Last, once the context has announced the save: lets go of the inserted records.
    void releaseInserted(Registry& registry);

private:
    void writeInserts();
    void writeUpdates();
    void writeDeletes();
    // Rows added to and removed from join tables for the record's changed to-many relationships.
    void writeJoinDeltas(ManagedObject* o);
    // "INSERT INTO table (every column of the entity) VALUES (?, ...)", made once per entity.
    const QString& insertSql(const EntityDescription* e);

    QList<ManagedObjectPtr> m_inserted, m_updated, m_deleted;
    QList<ManagedObjectPtr> m_leaving; // every deleted record, with those never saved
    SqliteConnection* m_db = nullptr;
    const StoreSchema* m_schema = nullptr;
    InsertStatements* m_insertStatements = nullptr;
};

} // namespace tavrel
