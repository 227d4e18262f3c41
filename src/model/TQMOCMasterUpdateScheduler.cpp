#include "model/TQMOCMasterUpdateScheduler.h"

#include "model/TQMOCMaster.h"
#include "platform/runtime/KeyPathBinding.h"
#include "platform/system/TQLog.h"

#include <QCoreApplication>

namespace tavrel {

std::unique_ptr<TQMOCMasterUpdateScheduler>
TQMOCMasterUpdateScheduler::mocMasterUpdateSchedulerWithMasterMoc(TQMOCMaster* moc)
{
    if (!moc)
        return nullptr;
    return std::make_unique<TQMOCMasterUpdateScheduler>(moc);
}

TQMOCMasterUpdateScheduler::TQMOCMasterUpdateScheduler(TQMOCMaster* moc, QObject* parent)
    : QObject(parent), m_moc(moc), m_lastUpdate(QDateTime::fromMSecsSinceEpoch(0, Qt::UTC))
{
    connect(this, &TQMOCMasterUpdateScheduler::onlineChanged, this,
            &TQMOCMasterUpdateScheduler::onlineDidChange);
    m_onlineBinding = std::make_unique<KeyPathBinding>(QCoreApplication::instance(), kOnlineKeyPath,
                                                       [this](const QVariant& value) {
                                                           if (!value.isValid()) {
                                                               setNilValueForKey(QStringLiteral("online"));
                                                               return;
                                                           }
                                                           setOnline(value.toBool());
                                                       });
    connect(&m_activeAPPTimer, &QTimer::timeout, this, &TQMOCMasterUpdateScheduler::activeAPPTimerFired);
    m_activeAPPTimer.start(int(kActiveAPPTimerInterval.milliseconds()));
}

TQMOCMasterUpdateScheduler::~TQMOCMasterUpdateScheduler()
{
    m_onlineBinding.reset();
    m_activeAPPTimer.stop();
}

void TQMOCMasterUpdateScheduler::setOnline(bool online)
{
    const bool old = m_online;
    m_online = online;
    emit onlineChanged(old, online);
}

void TQMOCMasterUpdateScheduler::setNilValueForKey(const QString& key)
{
    TQLog("E: TQMasterUpdateScheduler: Unexpected got NIL for %@: one should unbind before this happens",
          key);
}

void TQMOCMasterUpdateScheduler::onlineDidChange(bool oldValue, bool newValue)
{
    if (newValue && !oldValue) {
        TQLog("I: TQMasterUpdateScheduler: Connection back: Time to fast update!");
        fastUpdate();
    }
}

void TQMOCMasterUpdateScheduler::activeAPPTimerFired()
{
    const qint64 elapsed = m_lastUpdate.msecsTo(QDateTime::currentDateTimeUtc());
    if (elapsed >= kFastUpdateInterval.milliseconds()) {
        TQLog("I: TQMasterUpdateScheduler: Time to fast update!");
        fastUpdate();
    }
}

void TQMOCMasterUpdateScheduler::fastUpdate()
{
    if (!m_active || !m_online || !m_moc)
        return;
    TQLog("I: TQMasterUpdateScheduler: Fast update!");
    m_moc->backgroundFastUpdate();
    m_lastUpdate = QDateTime::currentDateTimeUtc();
}

} // namespace tavrel
