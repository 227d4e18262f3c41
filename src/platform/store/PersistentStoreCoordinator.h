#pragma once

#include "platform/store/ManagedObjectModel.h"
#include "platform/store/SaveNotification.h"

#include <QObject>
#include <QString>
#include <memory>

namespace tavrel {

class ManagedObjectContext;
class SqliteConnection;
class StoreSchema;

// Owns one SQLite store file for a model and hands connections to the contexts that use it. Contexts on
// several threads share one coordinator: writes are serialised here, reads run on each context's own
// connection (WAL). Share it with std::shared_ptr.
class PersistentStoreCoordinator : public QObject
{
    Q_OBJECT

public:
    // Raised by addPersistentStore when the file cannot be used (not a store, unreadable, newer
    // schema, folder missing).
    static const QString kPersistentStoreOpenException; // "PersistentStoreOpenException"
    static constexpr int kSchemaVersion = 1;

    explicit PersistentStoreCoordinator(std::shared_ptr<const ManagedObjectModel> model,
                                        QObject* parent = nullptr);
    ~PersistentStoreCoordinator() override;

    // Opens or creates the store file. Tables, columns and indexes the file lacks are added, keeping
    // its data. Raises kPersistentStoreOpenException with the reason when the file cannot be used.
    void addPersistentStore(const QString& path);
    // Closes the store: waits for the contexts' reads and writes in progress, closes every context's
    // connection and forgets the file. Contexts answer errors while no store is added; once one is
    // added again, each context forgets its records (as by reset) on its next use and reads the new
    // store. The file itself stays: delete it, with its "-wal" and "-shm" companions, once this returned.
    // Does nothing without a store.
    void removePersistentStore();
    bool hasStore() const;
    QString storePath() const;
    const ManagedObjectModel& managedObjectModel() const { return *m_model; }
    const std::shared_ptr<const ManagedObjectModel>& model() const { return m_model; }

    // Internal to the store layer.
    // A connection to the store: an idle one of an earlier context when there is one (its schema
    // already read, its cache warm), else a new one.
    std::unique_ptr<SqliteConnection> openConnection() const;
    // Takes back the connection of a context that is done with it, opened for the store of that
    // generation; kept for the next context while the store stays and few are kept, else closed.
    void recycleConnection(std::unique_ptr<SqliteConnection> connection, quint64 generation) const;
    // Changes each time a store is removed.
    quint64 storeGeneration() const;
    void registerContext(ManagedObjectContext* context);
    void unregisterContext(ManagedObjectContext* context);
    qint64 nextPrimaryKey(const EntityDescription* rootEntity);
    void lockWrites();
    void unlockWrites();
    void announceSave(const SaveNotification& notification);
    const StoreSchema& schema() const;

signals:
    // Every context's save, emitted on the saving thread right after the transaction committed.
    void contextDidSave(const tavrel::SaveNotification& notification);

private:
    struct Private;
    std::shared_ptr<const ManagedObjectModel> m_model;
    std::unique_ptr<Private> d;
};

} // namespace tavrel
