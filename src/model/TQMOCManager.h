#pragma once

#include "platform/store/ManagedObjectModel.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <mutex>

namespace tavrel {

class ManagedObjectContext;
class PersistentStoreCoordinator;
class TQMOCMaster;

// One account's store: the model, the coordinator over <account folder>/data.storedata, the master
// context and the worker threads' contexts. Owned by the account's session, whose Qt property
// "username" (the account's e-mail) names the folder.
class TQMOCManager : public QObject
{
    Q_OBJECT

public:
    // Raised when the store cannot be placed or opened.
    static const QString kCannotCreatePersistentStore; // "CannotCreatePersistentStore"

    // Nothing for no session. Opens the store: may raise kCannotCreatePersistentStore.
    static std::unique_ptr<TQMOCManager> mocManagerWithSession(QObject* session);
    explicit TQMOCManager(QObject* session, QObject* parent = nullptr);
    ~TQMOCManager() override;

    QObject* session() const { return m_session; }
    // The session's "username", read at each call.
    QString username() const;
    // The account of the store a context belongs to (the master's manager, or the name given to a
    // worker context made here); empty when unknown.
    static QString usernameForContext(const ManagedObjectContext* context);

    std::shared_ptr<const ManagedObjectModel> managedObjectModel();
    // Made on first request (folders created as needed); nothing without a model.
    std::shared_ptr<PersistentStoreCoordinator> persistentStoreCoordinator();
    TQMOCMaster* masterMOC() const { return m_masterMOC.get(); }
    // The calling thread's own context over this store.
    ManagedObjectContext* managedObjectContextForCurrentThread();

    // The master context's save, under the manager's lock.
    void save();
    // Whether the first full synchronisation is still to come: yes unless a document or collection is
    // stored (a failed fetch also answers yes).
    bool shouldCreateMasterContext();

    void start();
    void stop();
    // Deletes the account's store: the master's pending work is dropped, the store is closed, its file
    // is deleted with its "-wal" and "-shm" companions and an empty store is opened at the same place.
    // Every context of the store reads the empty store afterwards.
    void clean();

private:
    QPointer<QObject> m_session;
    std::recursive_mutex m_mutex;
    std::shared_ptr<const ManagedObjectModel> m_model;
    std::shared_ptr<PersistentStoreCoordinator> m_coordinator;
    std::unique_ptr<TQMOCMaster> m_masterMOC;
};

} // namespace tavrel
