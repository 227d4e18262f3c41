#pragma once

#include "model/TQMOCManager.h"
#include "platform/store/ManagedObjectContext.h"

#include <QPointer>

namespace tavrel {

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

    // Synchronisations. Seam: the update operations, the queue manager and the scheduler are built
    // elsewhere; until then the foreground updates log that they are not implemented.
    void fastUpdate();
    void backgroundFastUpdate();
    void fullUpdate();
    // Does nothing, by design.
    void backgroundFullUpdate() {}
    // Forwarded to the update scheduler (seam: nothing to forward to yet).
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
};

} // namespace tavrel
