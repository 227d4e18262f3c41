#pragma once

#include "platform/system/DesktopNotificationBackend.h"

#include <QDBusConnection>
#include <mutex>

namespace tavrel {

// Desktop notifications through the org.freedesktop.Notifications service on a D-Bus bus. Without
// a bus, or without the service on it, showing does nothing. The call is sent without waiting for
// the answer.
class FreedesktopNotificationBackend : public DesktopNotificationBackend
{
public:
    static inline const QString kService = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
    static inline const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

    // The user's session bus.
    FreedesktopNotificationBackend();
    // A bus at the given address (tests run a private one).
    explicit FreedesktopNotificationBackend(const QString& busAddress);
    ~FreedesktopNotificationBackend() override;

    // Whether the bus is connected (not whether a notification daemon listens).
    bool isConnected();

    void showNotification(const QString& name, const QString& title, const QString& message,
                          const QString& identifier) override;

private:
    QDBusConnection connection();

    std::mutex m_mutex;
    QString m_busAddress;
    QString m_connectionName;
    bool m_connected = false;
};

} // namespace tavrel
