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
    // Raised when the store cannot be placed or opened: its folder cannot be made, its file cannot be
    // read or written (left as it is), or a damaged file cannot be set aside.
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
    // Made on first request (folders created as needed); nothing without a model. A store file that
    // cannot be used is moved aside (see movedAsideStorePath) and a new one made in its place.
    std::shared_ptr<PersistentStoreCoordinator> persistentStoreCoordinator();
    // Where a damaged store was moved to when this manager opened the store, and why it could not be
    // used; empty when the store opened as it was.
    QString movedAsideStorePath() const { return m_movedAsideStorePath; }
    QString movedAsideReason() const { return m_movedAsideReason; }
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
    QString m_movedAsideStorePath;
    QString m_movedAsideReason;
};

} // namespace tavrel
