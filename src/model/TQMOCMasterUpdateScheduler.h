#pragma once

#include "platform/runtime/Timing.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>

namespace tavrel {

class KeyPathBinding;
class TQMOCMaster;

// Decides when the account's incremental synchronisation runs in the background: on a repeating tick
// while active and online, and at once when the connection comes back. Made by the master context on
// the main thread; its "online" follows the application's "delegate.connectionStatus.online".
class TQMOCMasterUpdateScheduler : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool online READ online WRITE setOnline NOTIFY onlineChanged)

public:
    // The tick, and the least time between two synchronisations the scheduler asks for.
    static constexpr Timing kActiveAPPTimerInterval{"activeAPPTimerInterval", 30000};
    static constexpr Timing kFastUpdateInterval{"fastUpdateInterval", 30000};
    // The key path on the application object that "online" is bound to.
    static inline const QString kOnlineKeyPath = QStringLiteral("delegate.connectionStatus.online");

    // Nothing for no master.
    static std::unique_ptr<TQMOCMasterUpdateScheduler>
    mocMasterUpdateSchedulerWithMasterMoc(TQMOCMaster* moc);
    explicit TQMOCMasterUpdateScheduler(TQMOCMaster* moc, QObject* parent = nullptr);
    ~TQMOCMasterUpdateScheduler() override;

    TQMOCMaster* moc() const { return m_moc; }
    QDateTime lastUpdate() const { return m_lastUpdate; }
    bool online() const { return m_online; }
    // A change from NO to YES asks for a synchronisation at once.
    void setOnline(bool online);
    bool isActive() const { return m_active; }

    void activeAPPTimerFired();
    // Asks the master for a background incremental synchronisation, when active, online and with a
    // master; remembers when.
    void fastUpdate();

    void start() { m_active = true; }
    void stop() { m_active = false; }
    void clean() {}

signals:
    void onlineChanged(bool oldValue, bool newValue);

private:
    // A nil through the binding is not stored.
    void setNilValueForKey(const QString& key);
    void onlineDidChange(bool oldValue, bool newValue);

    QPointer<TQMOCMaster> m_moc;
    QTimer m_activeAPPTimer;
    QDateTime m_lastUpdate;
    bool m_online = false;
    bool m_active = false;
    std::unique_ptr<KeyPathBinding> m_onlineBinding;
};

} // namespace tavrel
