#include "platform/store/PersistentStoreCoordinator.h"

#include "platform/runtime/Exception.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/SqliteConnection.h"
#include "platform/store/SqliteTransaction.h"
#include "platform/store/StoreSchema.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QUuid>
#include <atomic>
#include <mutex>
#include <vector>

namespace tavrel {

const QString PersistentStoreCoordinator::kPersistentStoreOpenException =
    QStringLiteral("PersistentStoreOpenException");

struct PersistentStoreCoordinator::Private
{
    QString path;
    std::unique_ptr<StoreSchema> schema;
    std::mutex writeMutex;
    std::mutex keyMutex;
    QHash<const EntityDescription*, qint64> lastKeys;
    std::mutex contextsMutex;
    QList<ManagedObjectContext*> contexts;
    std::atomic<quint64> generation = 0;
    std::atomic<bool> open = false;
    // Connections of contexts that went (worker threads come and go), for the next ones. Each is
    // used by one context at a time; all belong to the current store.
    mutable std::mutex idleMutex;
    mutable std::vector<std::unique_ptr<SqliteConnection>> idle;
    static constexpr std::size_t kIdleConnections = 4;
};

PersistentStoreCoordinator::PersistentStoreCoordinator(std::shared_ptr<const ManagedObjectModel> model,
                                                       QObject* parent)
    : QObject(parent), m_model(std::move(model)), d(std::make_unique<Private>())
{
    qRegisterMetaType<tavrel::SaveNotification>();
    if (!m_model || !m_model->isFinalized())
        throw Exception(Exception::kInvalidArgumentException,
                        QStringLiteral("A store coordinator needs a finalized model"));
}

PersistentStoreCoordinator::~PersistentStoreCoordinator() = default;

namespace {
QStringList existingColumns(SqliteConnection& db, const QString& table)
{
    QStringList result;
    auto& s = db.prepare(QStringLiteral("PRAGMA table_info(%1)").arg(StoreSchema::quote(table)));
    while (s.step())
        result.append(s.text(1));
    return result;
}

bool tableExists(SqliteConnection& db, const QString& table)
{
    auto& s = db.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?"));
    s.bindText(1, table);
    const bool found = s.step();
    s.reset();
    return found;
}

} // namespace

void PersistentStoreCoordinator::addPersistentStore(const QString& path)
{
    if (d->schema)
        throw Exception(kPersistentStoreOpenException,
                        QStringLiteral("A store is already open at %1").arg(d->path));
    const QFileInfo info(path);
    if (!info.dir().exists())
        throw Exception(kPersistentStoreOpenException,
                        QStringLiteral("The folder of the store %1 does not exist").arg(path));
    if (info.exists() && !info.isFile())
        throw Exception(kPersistentStoreOpenException,
                        QStringLiteral("The store %1 is not a file").arg(path));

    QHash<QString, int> numbers;
    try {
        SqliteConnection db(path, true);
        // Reading the schema fails ("file is not a database") for anything that is not SQLite; another
        // program's database is left alone rather than filled with our tables.
        if (!tableExists(db, QStringLiteral("Z_METADATA"))) {
            auto& s = db.prepare(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"));
            const qint64 objects = s.step() ? s.int64(0) : 0;
            s.reset();
            if (objects > 0)
                throw SqliteConnection::Failure(
                    0, QStringLiteral("the database is not a store of this program"));
        }
        db.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        SqliteTransaction transaction(db);
        db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS Z_METADATA (Z_KEY TEXT PRIMARY KEY, Z_VALUE)"));
        db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS Z_ENTITIES (Z_ENT INTEGER PRIMARY KEY, Z_NAME "
                               "TEXT UNIQUE NOT NULL)"));
        int version = 0;
        {
            auto& s =
                db.prepare(QStringLiteral("SELECT Z_VALUE FROM Z_METADATA WHERE Z_KEY = 'schemaVersion'"));
            if (s.step())
                version = int(s.int64(0));
            s.reset();
        }
        if (version > kSchemaVersion)
            throw SqliteConnection::Failure(
                0, QStringLiteral(
                       "the store was written by a newer version (schema %1, this program reads up to %2)")
                       .arg(version)
                       .arg(kSchemaVersion));
        {
            auto& s = db.prepare(QStringLiteral("SELECT Z_ENT, Z_NAME FROM Z_ENTITIES"));
            while (s.step())
                numbers.insert(s.text(1), int(s.int64(0)));
        }
        int next = 1;
        for (int n : std::as_const(numbers))
            next = qMax(next, n + 1);
        for (const EntityDescription* e : m_model->entities()) {
            if (numbers.contains(e->name()))
                continue;
            auto& s = db.prepare(QStringLiteral("INSERT INTO Z_ENTITIES (Z_ENT, Z_NAME) VALUES (?, ?)"));
            s.bindInt64(1, next);
            s.bindText(2, e->name());
            s.run();
            numbers.insert(e->name(), next++);
        }
        auto schema = std::make_unique<StoreSchema>(*m_model, numbers);
        // Missing tables, columns and indexes are added; no table or column is ever dropped.
        QSet<QString> wantedIndexes;
        for (const StoreSchema::Table& t : schema->tables()) {
            if (!tableExists(db, t.name)) {
                QString sql =
                    QStringLiteral("CREATE TABLE %1 (Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER NOT NULL")
                        .arg(StoreSchema::quote(t.name));
                for (int i = 0; i < t.columns.size(); ++i)
                    sql += QStringLiteral(", %1 %2").arg(StoreSchema::quote(t.columns[i]), t.columnTypes[i]);
                db.exec(sql + QLatin1Char(')'));
            } else {
                const QStringList have = existingColumns(db, t.name);
                for (int i = 0; i < t.columns.size(); ++i)
                    if (!have.contains(t.columns[i]))
                        db.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                                    .arg(StoreSchema::quote(t.name), StoreSchema::quote(t.columns[i]),
                                         t.columnTypes[i]));
            }
            bool led = false;
            for (const StoreSchema::Index& index : t.indexes)
                led = led || index.columns.first() == QLatin1String("Z_ENT");
            if (t.shared && !led) {
                const QString name = t.name + QStringLiteral("_Z_ENT_index");
                wantedIndexes.insert(name);
                db.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (Z_ENT)")
                            .arg(StoreSchema::quote(name), StoreSchema::quote(t.name)));
            }
            for (const StoreSchema::Index& index : t.indexes) {
                wantedIndexes.insert(index.name);
                db.exec(StoreSchema::createIndexSql(t, index));
            }
        }
        for (const StoreSchema::JoinTable& j : schema->joinTables()) {
            db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (Z_A INTEGER NOT NULL, Z_A_ENT INTEGER, "
                                   "Z_B INTEGER NOT NULL, Z_B_ENT INTEGER, UNIQUE (Z_A, Z_B))")
                        .arg(StoreSchema::quote(j.name)));
            const QString name = j.name + QStringLiteral("_Z_B_index");
            wantedIndexes.insert(name);
            db.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (Z_B)")
                        .arg(StoreSchema::quote(name), StoreSchema::quote(j.name)));
        }
        // Indexes this program made once on the tables of this model and no longer reads (as on
        // the columns of one-to-one pairs) only slow writes down: they go. Indexes hold no data of
        // their own. Tables of entities this model lacks keep theirs.
        {
            QSet<QString> tables;
            for (const StoreSchema::Table& t : schema->tables())
                tables.insert(t.name);
            QStringList obsolete;
            auto& s = db.prepare(QStringLiteral(
                "SELECT name, tbl_name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL AND "
                "name LIKE 'Z%\\_index' ESCAPE '\\'"));
            while (s.step())
                if (!wantedIndexes.contains(s.text(0)) && tables.contains(s.text(1)))
                    obsolete.append(s.text(0));
            for (const QString& name : std::as_const(obsolete))
                db.exec(QStringLiteral("DROP INDEX IF EXISTS %1").arg(StoreSchema::quote(name)));
        }
        auto setMeta = [&](const QString& key, const QVariant& value) {
            auto& s = db.prepare(
                QStringLiteral("INSERT OR REPLACE INTO Z_METADATA (Z_KEY, Z_VALUE) VALUES (?, ?)"));
            s.bindText(1, key);
            s.bind(2, value);
            s.run();
        };
        setMeta(QStringLiteral("schemaVersion"), kSchemaVersion);
        setMeta(QStringLiteral("modelVersionHash"), m_model->versionHash());
        {
            auto& s =
                db.prepare(QStringLiteral("SELECT Z_VALUE FROM Z_METADATA WHERE Z_KEY = 'storeIdentifier'"));
            const bool has = s.step();
            s.reset();
            if (!has)
                setMeta(QStringLiteral("storeIdentifier"),
                        QUuid::createUuid().toString(QUuid::WithoutBraces));
        }
        for (const StoreSchema::Table& t : schema->tables()) {
            auto& s = db.prepare(QStringLiteral("SELECT MAX(Z_PK) FROM %1").arg(StoreSchema::quote(t.name)));
            const qint64 last = s.step() && !s.isNull(0) ? s.int64(0) : 0;
            s.reset();
            d->lastKeys.insert(t.root, last);
        }
        transaction.commit();
        d->schema = std::move(schema);
    } catch (const SqliteConnection::Failure& failure) {
        d->lastKeys.clear();
        throw Exception(kPersistentStoreOpenException,
                        QStringLiteral("The store %1 cannot be used: %2")
                            .arg(path, QString::fromStdString(failure.what())));
    }
    d->path = path;
    d->open = true;
}

void PersistentStoreCoordinator::removePersistentStore()
{
    std::lock_guard writes(d->writeMutex);
    std::lock_guard registry(d->contextsMutex);
    // Every context is held still (no read or write in progress, none starting) until the store is gone.
    std::vector<std::unique_lock<std::recursive_mutex>> held;
    for (ManagedObjectContext* context : std::as_const(d->contexts))
        held.push_back(context->lockConnection());
    for (ManagedObjectContext* context : std::as_const(d->contexts))
        context->closeConnection();
    ++d->generation;
    d->open = false;
    std::vector<std::unique_ptr<SqliteConnection>> idle;
    {
        std::lock_guard pool(d->idleMutex);
        idle.swap(d->idle);
    }
    idle.clear();
    d->schema.reset();
    d->path.clear();
    std::lock_guard keys(d->keyMutex);
    d->lastKeys.clear();
}

quint64 PersistentStoreCoordinator::storeGeneration() const
{
    return d->generation.load();
}

void PersistentStoreCoordinator::registerContext(ManagedObjectContext* context)
{
    std::lock_guard registry(d->contextsMutex);
    d->contexts.append(context);
}

void PersistentStoreCoordinator::unregisterContext(ManagedObjectContext* context)
{
    std::lock_guard registry(d->contextsMutex);
    d->contexts.removeAll(context);
}

bool PersistentStoreCoordinator::hasStore() const
{
    return d->open.load();
}

QString PersistentStoreCoordinator::storePath() const
{
    return d->path;
}

std::unique_ptr<SqliteConnection> PersistentStoreCoordinator::openConnection() const
{
    if (!d->schema)
        throw SqliteConnection::Failure(0, QStringLiteral("no store has been added to the coordinator"));
    {
        std::lock_guard pool(d->idleMutex);
        if (!d->idle.empty()) {
            auto db = std::move(d->idle.back());
            d->idle.pop_back();
            return db;
        }
    }
    auto db = std::make_unique<SqliteConnection>(d->path, false);
    db->exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    // Large feeds touch several indexes per record: keep their pages in memory.
    db->exec(QStringLiteral("PRAGMA cache_size=-32000"));
    db->exec(QStringLiteral("PRAGMA temp_store=MEMORY"));
    // A synchronisation saves every page of entries: checkpointing after each 4 MB of log copied the same
    // index pages back again and again. Let the log grow to about 64 MB first; closing checkpoints the rest.
    db->exec(QStringLiteral("PRAGMA wal_autocheckpoint=16384"));
    return db;
}

void PersistentStoreCoordinator::recycleConnection(std::unique_ptr<SqliteConnection> connection,
                                                   quint64 generation) const
{
    if (!connection || !connection->settle())
        return;
    std::lock_guard pool(d->idleMutex);
    // The generation is read under the pool's lock: a store removed meanwhile has bumped it already,
    // or empties the pool after this.
    if (generation != d->generation.load() || !d->open.load() || d->idle.size() >= Private::kIdleConnections)
        return;
    d->idle.push_back(std::move(connection));
}

qint64 PersistentStoreCoordinator::nextPrimaryKey(const EntityDescription* rootEntity)
{
    std::lock_guard lock(d->keyMutex);
    return ++d->lastKeys[rootEntity->rootEntity()];
}

void PersistentStoreCoordinator::lockWrites()
{
    d->writeMutex.lock();
}

void PersistentStoreCoordinator::unlockWrites()
{
    d->writeMutex.unlock();
}

void PersistentStoreCoordinator::announceSave(const SaveNotification& notification)
{
    emit contextDidSave(notification);
}

const StoreSchema& PersistentStoreCoordinator::schema() const
{
    if (!d->schema)
        throw Exception(Exception::kInternalInconsistencyException,
                        QStringLiteral("The store coordinator has no store"));
    return *d->schema;
}

} // namespace tavrel
