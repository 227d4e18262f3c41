#include "model/TQMOCMaster.h"

#include "model/TQMOCManager.h"
#include "model/TQMOCMasterUpdateScheduler.h"
#include "model/TQMOCMasterUpdater.h"
#include "platform/system/TQLog.h"

#include <QThread>

namespace tavrel {

namespace {
struct ContextLocker
{
    explicit ContextLocker(ManagedObjectContext* c) : context(c) { context->lock(); }
    ~ContextLocker() { context->unlock(); }
    ManagedObjectContext* context;
};
} // namespace

TQMOCMaster::TQMOCMaster(std::shared_ptr<PersistentStoreCoordinator> coordinator, TQMOCManager* mocManager,
                         QObject* parent)
    : ManagedObjectContext(std::move(coordinator), parent), m_mocManager(mocManager)
{
    m_updater = TQMOCMasterUpdater::mocMasterUpdaterWithMasterMOC(this);
    m_updateScheduler = TQMOCMasterUpdateScheduler::mocMasterUpdateSchedulerWithMasterMoc(this);
}

TQMOCMaster::~TQMOCMaster()
{
    m_updateScheduler.reset();
}

void TQMOCMaster::save()
{
    if (!hasChanges())
        return;
    Error error;
    bool saved;
    {
        ContextLocker locker(this);
        saved = ManagedObjectContext::save(&error);
    }
    if (saved)
        return;
    TQLog("E: Failed to save to data store: %@", error.localizedDescription());
    const QVariantList detailed = error.userInfo().value(QStringLiteral("NSDetailedErrors")).toList();
    for (const QVariant& item : detailed) {
        const QVariantMap info = item.canConvert<Error>() ? item.value<Error>().userInfo() : item.toMap();
        QStringList parts;
        for (auto it = info.cbegin(); it != info.cend(); ++it)
            parts.append(it.key() + QStringLiteral(" = ") + it.value().toString());
        TQLog("E: DetailedError: %@",
              QStringLiteral("{") + parts.join(QStringLiteral("; ")) + QStringLiteral("}"));
    }
}

void TQMOCMaster::scheduleUpdateOperation(const QString& className, bool shouldSendNotification)
{
    QObject* session = m_mocManager ? m_mocManager->session() : nullptr;
    if (!session)
        return;
    QMetaObject::invokeMethod(session, kScheduleUpdateOperationMethod, Qt::DirectConnection,
                              Q_ARG(QString, className), Q_ARG(bool, shouldSendNotification),
                              Q_ARG(QObject*, this));
}

bool TQMOCMaster::executeManagerAction(const QString& handlerPrefix, const QString& action,
                                       const QVariantMap& parameters)
{
    QObject* session = m_mocManager ? m_mocManager->session() : nullptr;
    if (!session)
        return false;
    return QMetaObject::invokeMethod(session, kExecuteManagerActionMethod, Qt::DirectConnection,
                                     Q_ARG(QString, handlerPrefix), Q_ARG(QString, action),
                                     Q_ARG(QVariantMap, parameters));
}

void TQMOCMaster::fastUpdate()
{
    scheduleUpdateOperation(kFastUpdateOperationClass, true);
}

void TQMOCMaster::backgroundFastUpdate()
{
    scheduleUpdateOperation(kFastUpdateOperationClass, false);
}

void TQMOCMaster::fullUpdate()
{
    scheduleUpdateOperation(kFullUpdateOperationClass, true);
}

void TQMOCMaster::start()
{
    if (m_updateScheduler)
        m_updateScheduler->start();
}

void TQMOCMaster::stop()
{
    if (m_updateScheduler)
        m_updateScheduler->stop();
}

void TQMOCMaster::clean()
{
    if (m_updateScheduler)
        m_updateScheduler->clean();
}

void TQMOCMaster::updateOperationContextDidSave(const SaveNotification& notification)
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(
            this, [this, notification] { updateOperationContextDidSave(notification); },
            Qt::BlockingQueuedConnection);
        return;
    }
    mergeChangesFromContextDidSaveNotification(notification);
    save();
}

} // namespace tavrel
