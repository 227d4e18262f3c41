#pragma once

#include "platform/runtime/Error.h"
#include "platform/runtime/Timing.h"

#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <memory>
#include <optional>

struct sqlite3;

namespace tavrel {

class ManagedObjectModel;
class StoreSchema;

// An account store opened for reading only, from outside the program: nothing is created, upgraded or
// written, and the program may be saving meanwhile (a read waits for a busy store up to kBusyTimeoutMs).
// Tables and columns come from the store's own entity model and the file's entity numbers.
//
// The file comes from outside: only a regular file is opened (a FIFO would block the open for good), only
// real tables are read (a view of the same name could be endless), and each read stops after
// kQueryTimeLimit (with an error), so that no file makes the importer hang or fill the temporary folder.
class ReadOnlyStore
{
public:
    static constexpr int kBusyTimeoutMs = 10000;
    static inline const Timing kQueryTimeLimit{"importerQueryTimeLimit", 5000};
    // Errors in ManagedObjectContext::kErrorDomain.
    enum ErrorCode : qint64 {
        StoreOpenError = 134080,          // missing, unreadable or not a store of this program
        IncompatibleSchemaError = 134100, // a schema version this program does not read
    };

    struct Record
    {
        QString entityName;
        QVariantMap values; // the asked attributes the record's entity has; nil values left out
    };

    // Nothing, and the error, when the file is missing, unreadable, not a store of this program or of a
    // schema version it does not read.
    static std::unique_ptr<ReadOnlyStore>
    open(const QString& path, std::shared_ptr<const ManagedObjectModel> model, Error* error = nullptr);
    ~ReadOnlyStore();
    ReadOnlyStore(const ReadOnlyStore&) = delete;
    ReadOnlyStore& operator=(const ReadOnlyStore&) = delete;

    // The record of the entity (or a sub-entity) whose attribute identifierKey holds the identifier, with
    // the values of the keys; nothing when the model has no such entity or attribute, or the store no such
    // record. A failed read is nothing and the error.
    std::optional<Record> recordWithIdentifier(const QString& entityName, const QString& identifierKey,
                                               const QString& identifier, const QStringList& keys,
                                               Error* error = nullptr);

private:
    ReadOnlyStore() = default;
    // Whether the name is a table of the file's own (no view, no virtual table).
    bool isRealTable(const QString& name);
    static int progress(void* store);

    sqlite3* m_db = nullptr;
    QString m_path;
    std::shared_ptr<const ManagedObjectModel> m_model;
    std::unique_ptr<StoreSchema> m_schema;
    QHash<int, QString> m_entityNames; // the file's entity numbers, including entities the model lacks
    QHash<QString, bool> m_realTables;
    QElapsedTimer m_readStarted; // the read under way, for its time limit
    qint64 m_readLimitMs = 0;
};

} // namespace tavrel
