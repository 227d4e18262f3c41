#pragma once

#include "model/TQMOCManager.h"
#include "platform/store/ManagedObjectContext.h"

#include <QPointer>

namespace tavrel {

class TQMOCMasterUpdateScheduler;
class TQMOCMasterUpdater;

// The account's master context: used on the main thread only, bound to by every view. Worker
// contexts' saves reach it through updateOperationContextDidSave.
class TQMOCMaster : public ManagedObjectContext
{
    Q_OBJECT

public:
    TQMOCMaster(std::shared_ptr<PersistentStoreCoordinator> coordinator, TQMOCManager* mocManager,
                QObject* parent = nullptr);
    ~TQMOCMaster() override;

    TQMOCManager* mocManager() const { return m_mocManager; }
    // The writer of service results into this context (made with the context, owned by it).
    TQMOCMasterUpdater* updater() const { return m_updater.get(); }
    void setMocManager(TQMOCManager* manager) { m_mocManager = manager; }

    // Saves when there are changes, under the context's lock. A failure is logged and the changes stay
    // for the next save. (ManagedObjectContext::save(Error*) stays reachable by its qualified name.)
    void save();

    // The operation classes of the synchronisations.
    static inline const QString kFastUpdateOperationClass = QStringLiteral("FastCoreDataUpdateOperation");
    static inline const QString kFullUpdateOperationClass = QStringLiteral("FullCoreDataUpdateOperation");
    // The session method that makes and queues an update operation (the store layer knows the session
    // only as an object): scheduleUpdateOperation(QString className, bool shouldSendNotification,
    // QObject* delegate).
    static inline const char* const kScheduleUpdateOperationMethod = "scheduleUpdateOperation";

    // The session method that queues an action of its document ("dmh") or contact ("cmh") manager
    // without a callback: executeManagerAction(QString handlerPrefix, QString action, QVariantMap
    // parameters). The cache bookkeeping records ask for newer copies through it.
    static inline const char* const kExecuteManagerActionMethod = "executeManagerAction";
    // Queues the action through the session; answers false when there is no session to reach.
    bool executeManagerAction(const QString& handlerPrefix, const QString& action,
                              const QVariantMap& parameters);

    // The account's periodic synchronisation (made with the context, owned by it).
    TQMOCMasterUpdateScheduler* updateScheduler() const { return m_updateScheduler.get(); }

    // Synchronisations, queued through the session: incremental and full with the started and
    // finished notifications, and the background incremental one (the scheduler's) without.
    void fastUpdate();
    void backgroundFastUpdate();
    void fullUpdate();
    // Does nothing, by design.
    void backgroundFullUpdate() {}
    // Forwarded to the update scheduler.
    void start();
    void stop();
    void clean();

public slots:
    // A worker context's save: merged into this context and saved, on the main thread. From another
    // thread it waits until the main thread has done it.
    void updateOperationContextDidSave(const tavrel::SaveNotification& notification);

private:
    QPointer<TQMOCManager> m_mocManager;
    std::unique_ptr<TQMOCMasterUpdater> m_updater;
    std::unique_ptr<TQMOCMasterUpdateScheduler> m_updateScheduler;

    void scheduleUpdateOperation(const QString& className, bool shouldSendNotification);
};

} // namespace tavrel
