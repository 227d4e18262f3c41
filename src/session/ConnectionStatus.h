#pragma once

#include "platform/runtime/Notification.h"
#include "platform/system/Reachability.h"

#include <QObject>
#include <QPointer>
#include <memory>

namespace tavrel {

// Whether the service can be reached. Starts offline; every reachability callback sets `online` and
// `connectionStatus` (0 online, 1 offline), changed or not, notifies the observers of "online" with
// the old and new values, and posts "kCordelConnectionStatusChanged" with the status number.
// Main thread only.
class ConnectionStatus : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool online READ isOnline WRITE setOnline NOTIFY onlineChanged)
    Q_PROPERTY(qint64 connectionStatus READ connectionStatus WRITE setConnectionStatus)

public:
    static inline const QString kCordelConnectionStatusChanged =
        QStringLiteral("kCordelConnectionStatusChanged");

    // Watches the host of the current service URL.
    explicit ConnectionStatus(QObject* parent = nullptr);
    // Watches through the given watcher (null: none, so the status stays offline).
    explicit ConnectionStatus(std::unique_ptr<Reachability> hostReachable, QObject* parent = nullptr);
    ~ConnectionStatus() override;

    bool online() const { return m_online; }
    bool isOnline() const { return m_online; }
    // Notifies on every call, even when the value stays the same.
    void setOnline(bool online);
    qint64 connectionStatus() const { return m_connectionStatus; }
    void setConnectionStatus(qint64 status) { m_connectionStatus = status; }
    Reachability* hostReachable() const { return m_hostReachable.get(); }
    // Replaces the watcher and starts it.
    void setHostReachable(std::unique_ptr<Reachability> hostReachable);
    // Optional receiver of connectionDidChangeStatus(qint64), not owned.
    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }

    // The handler of "kNetworkReachabilityChangedNotification" (from any watcher).
    void checkNetworkStatus(const Notification& notification);

signals:
    void onlineChanged(bool oldValue, bool newValue);

private:
    std::unique_ptr<Reachability> m_hostReachable;
    QPointer<QObject> m_delegate;
    bool m_online = false;
    qint64 m_connectionStatus = 1;
};

} // namespace tavrel
