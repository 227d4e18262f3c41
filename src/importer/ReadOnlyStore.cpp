#include "importer/ReadOnlyStore.h"

#include "platform/store/ManagedObjectContext.h"
#include "platform/store/ManagedObjectModel.h"
#include "platform/store/PersistentStoreCoordinator.h"
#include "platform/store/StoreSchema.h"

#include <QDateTime>
#include <QFile>
#include <sqlite3.h>
#include <sys/stat.h>

namespace tavrel {

namespace {
Error storeError(qint64 code, const QString& description)
{
    return Error(ManagedObjectContext::kErrorDomain, code, {{Error::kLocalizedDescriptionKey, description}});
}

QString sqliteMessage(sqlite3* db, int code)
{
    return QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
}

// One prepared statement, finalised when it goes.
class Statement
{
public:
    Statement(sqlite3* db, const QString& sql)
    {
        const QByteArray utf8 = sql.toUtf8();
        m_code = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_statement, nullptr);
        m_prepared = m_code == SQLITE_OK;
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool prepared() const { return m_prepared; }
    sqlite3_stmt* handle() const { return m_statement; }
    // A row (true), the end (false, code() SQLITE_DONE) or a failure (false, code() the error).
    bool step()
    {
        if (!m_prepared)
            return false;
        m_code = sqlite3_step(m_statement);
        return m_code == SQLITE_ROW;
    }
    int code() const { return m_code; }
    bool failed() const { return m_code != SQLITE_OK && m_code != SQLITE_ROW && m_code != SQLITE_DONE; }
    QString text(int column) const
    {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
        return p ? QString::fromUtf8(p, sqlite3_column_bytes(m_statement, column)) : QString();
    }

private:
    sqlite3_stmt* m_statement = nullptr;
    int m_code = SQLITE_OK;
    bool m_prepared = false;
};

QVariant columnValue(sqlite3_stmt* statement, int column, AttributeDescription::Type type)
{
    using T = AttributeDescription::Type;
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER: {
        const qint64 value = sqlite3_column_int64(statement, column);
        if (type == T::Bool)
            return value != 0;
        if (type == T::Date)
            return QDateTime::fromMSecsSinceEpoch(value, Qt::UTC);
        return value;
    }
    case SQLITE_FLOAT:
        return sqlite3_column_double(statement, column);
    case SQLITE_TEXT: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        return QString::fromUtf8(p, sqlite3_column_bytes(statement, column));
    }
    default: {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(statement, column));
        return QByteArray(p, sqlite3_column_bytes(statement, column));
    }
    }
}
} // namespace

ReadOnlyStore::~ReadOnlyStore()
{
    sqlite3_close_v2(m_db);
}

std::unique_ptr<ReadOnlyStore>
ReadOnlyStore::open(const QString& path, std::shared_ptr<const ManagedObjectModel> model, Error* error)
{
    auto fail = [&](qint64 code, const QString& why) -> std::unique_ptr<ReadOnlyStore> {
        if (error)
            *error = storeError(code, QStringLiteral("The store %1 cannot be read: %2").arg(path, why));
        return nullptr;
    };
    // Only regular files: opening a FIFO (or a device) would wait for a writer that never comes. The
    // journal files SQLite may open beside it are held to the same rule.
    for (const QString& name : {path, path + QStringLiteral("-wal"), path + QStringLiteral("-shm")}) {
        struct stat info;
        const bool exists = ::stat(QFile::encodeName(name).constData(), &info) == 0;
        if (name == path && !exists)
            return fail(StoreOpenError, QStringLiteral("it does not exist"));
        if (exists && !S_ISREG(info.st_mode))
            return fail(StoreOpenError, QStringLiteral("%1 is no regular file").arg(name));
    }
    std::unique_ptr<ReadOnlyStore> store(new ReadOnlyStore);
    store->m_path = path;
    store->m_model = std::move(model);
    store->m_readStarted.start();
    store->m_readLimitMs = kQueryTimeLimit.milliseconds();
    // Read-only never creates the file; a missing store stays missing.
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &store->m_db,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK)
        return fail(StoreOpenError, sqliteMessage(store->m_db, rc));
    sqlite3_busy_timeout(store->m_db, kBusyTimeoutMs);
    sqlite3_progress_handler(store->m_db, 1000, &ReadOnlyStore::progress, store.get());

    // Anything that is not SQLite fails here ("file is not a database").
    Statement metadata(
        store->m_db,
        QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'Z_METADATA'"));
    const bool hasMetadata = metadata.step();
    if (metadata.failed())
        return fail(StoreOpenError, sqliteMessage(store->m_db, metadata.code()));
    if (!hasMetadata)
        return fail(StoreOpenError, QStringLiteral("it is not a store of this program"));
    for (const QString& table : {QStringLiteral("Z_METADATA"), QStringLiteral("Z_ENTITIES")})
        if (!store->isRealTable(table))
            return fail(StoreOpenError, QStringLiteral("%1 is no table").arg(table));

    Statement version(store->m_db,
                      QStringLiteral("SELECT Z_VALUE FROM Z_METADATA WHERE Z_KEY = 'schemaVersion'"));
    const bool hasVersion = version.step();
    if (version.failed())
        return fail(StoreOpenError, sqliteMessage(store->m_db, version.code()));
    const qint64 schemaVersion = hasVersion && sqlite3_column_type(version.handle(), 0) == SQLITE_INTEGER
                                     ? sqlite3_column_int64(version.handle(), 0)
                                     : 0;
    if (schemaVersion < 1 || schemaVersion > PersistentStoreCoordinator::kSchemaVersion)
        return fail(IncompatibleSchemaError,
                    QStringLiteral("its schema version is %1, this program reads 1 to %2")
                        .arg(hasVersion ? version.text(0) : QStringLiteral("missing"))
                        .arg(PersistentStoreCoordinator::kSchemaVersion));

    QHash<QString, int> numbers;
    Statement entities(store->m_db, QStringLiteral("SELECT Z_ENT, Z_NAME FROM Z_ENTITIES"));
    while (entities.step()) {
        const int number = sqlite3_column_int(entities.handle(), 0);
        numbers.insert(entities.text(1), number);
        store->m_entityNames.insert(number, entities.text(1));
    }
    if (entities.failed())
        return fail(StoreOpenError, sqliteMessage(store->m_db, entities.code()));
    store->m_schema = std::make_unique<StoreSchema>(*store->m_model, numbers);
    return store;
}

std::optional<ReadOnlyStore::Record>
ReadOnlyStore::recordWithIdentifier(const QString& entityName, const QString& identifierKey,
                                    const QString& identifier, const QStringList& keys, Error* error)
{
    const EntityDescription* entity = m_model->entity(entityName);
    if (!entity || !entity->attribute(identifierKey))
        return std::nullopt;
    m_readStarted.start();
    m_readLimitMs = kQueryTimeLimit.milliseconds();
    const StoreSchema::Table& table = m_schema->table(entity);
    if (!isRealTable(table.name)) {
        if (error)
            *error = storeError(
                ManagedObjectContext::FetchError,
                QStringLiteral("The store %1 cannot be read: %2 is no table").arg(m_path, table.name));
        return std::nullopt;
    }
    QStringList columns;
    for (const QString& key : keys)
        if (table.columns.contains(key) && !columns.contains(key))
            columns.append(key);
    QString sql = QStringLiteral("SELECT t.Z_ENT");
    for (const QString& column : std::as_const(columns))
        sql += QStringLiteral(", t.") + StoreSchema::quote(column);
    sql += QStringLiteral(" FROM %1 t WHERE t.%2 = ?")
               .arg(StoreSchema::quote(table.name), StoreSchema::quote(identifierKey));
    const QString filter = m_schema->entityFilter(entity, true, QStringLiteral("t"));
    if (!filter.isEmpty())
        sql += QStringLiteral(" AND ") + filter;
    sql += QStringLiteral(" ORDER BY t.Z_PK LIMIT 1");

    Statement statement(m_db, sql);
    const QByteArray value = identifier.toUtf8();
    if (statement.prepared())
        sqlite3_bind_text(statement.handle(), 1, value.constData(), int(value.size()), SQLITE_TRANSIENT);
    if (!statement.step()) {
        if (statement.failed() && error)
            *error = storeError(ManagedObjectContext::FetchError,
                                QStringLiteral("The store %1 cannot be read: %2")
                                    .arg(m_path, sqliteMessage(m_db, statement.code())));
        return std::nullopt;
    }
    Record record;
    record.entityName = m_entityNames.value(sqlite3_column_int(statement.handle(), 0));
    // Only what the record's own entity has: a sibling entity's column in a shared table is not this
    // record's value.
    if (const EntityDescription* own = m_model->entity(record.entityName)) {
        for (qsizetype i = 0; i < columns.size(); ++i) {
            if (const AttributeDescription* attribute = own->attribute(columns[i])) {
                const QVariant v = columnValue(statement.handle(), int(i) + 1, attribute->type);
                if (v.isValid())
                    record.values.insert(columns[i], v);
            }
        }
    }
    return record;
}

bool ReadOnlyStore::isRealTable(const QString& name)
{
    if (const auto known = m_realTables.constFind(name); known != m_realTables.constEnd())
        return *known;
    Statement statement(m_db, QStringLiteral("SELECT type, sql FROM sqlite_master WHERE name = ?"));
    const QByteArray value = name.toUtf8();
    if (statement.prepared())
        sqlite3_bind_text(statement.handle(), 1, value.constData(), int(value.size()), SQLITE_TRANSIENT);
    bool real = statement.step() && statement.text(0) == QLatin1String("table") &&
                !statement.text(1).trimmed().startsWith(QLatin1String("CREATE VIRTUAL"), Qt::CaseInsensitive);
    // A second row of that name (a view beside the table) is refused too.
    if (real && statement.step())
        real = false;
    m_realTables.insert(name, real);
    return real;
}

int ReadOnlyStore::progress(void* store)
{
    // Non-zero interrupts the statement under way.
    const auto* self = static_cast<const ReadOnlyStore*>(store);
    return self->m_readLimitMs > 0 && self->m_readStarted.elapsed() > self->m_readLimitMs ? 1 : 0;
}

} // namespace tavrel
