#include "platform/system/FreedesktopNotificationBackend.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QVariantMap>
#include <atomic>

namespace tavrel {

FreedesktopNotificationBackend::FreedesktopNotificationBackend() = default;

FreedesktopNotificationBackend::FreedesktopNotificationBackend(const QString& busAddress)
    : m_busAddress(busAddress)
{
    static std::atomic<int> counter{0};
    m_connectionName = QStringLiteral("tavrel-notifications-%1").arg(++counter);
}

FreedesktopNotificationBackend::~FreedesktopNotificationBackend()
{
    std::lock_guard lock(m_mutex);
    if (m_connected)
        QDBusConnection::disconnectFromBus(m_connectionName);
}

QDBusConnection FreedesktopNotificationBackend::connection()
{
    if (m_busAddress.isEmpty())
        return QDBusConnection::sessionBus();
    std::lock_guard lock(m_mutex);
    if (!m_connected) {
        m_connected = true;
        return QDBusConnection::connectToBus(m_busAddress, m_connectionName);
    }
    return QDBusConnection(m_connectionName);
}

bool FreedesktopNotificationBackend::isConnected()
{
    return connection().isConnected();
}

void FreedesktopNotificationBackend::showNotification(const QString& name, const QString& title,
                                                      const QString& message, const QString& identifier)
{
    Q_UNUSED(identifier);
    QDBusConnection bus = connection();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    Q_UNUSED(name);
    const QString application = QCoreApplication::applicationName();
    call << (application.isEmpty() ? QStringLiteral("Tavrel") : application) << uint(0) << QString() << title
         << message << QStringList() << QVariantMap() << int(-1);
    // Sent without waiting: the caller may be the main thread.
    bus.send(call);
}

} // namespace tavrel
