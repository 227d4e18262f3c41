#pragma once

#include "platform/system/Reachability.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace tavrel {

// Reachability by asking the host's port now and then: reachable when it accepts the connection and
// answers a request line (or closes it) within the time-out, so a service that hangs counts as not
// reachable. Looks more often while not reachable. Reports the first answer and then every change.
class ProbeReachability : public Reachability
{
    Q_OBJECT

public:
    ProbeReachability(const QString& hostName, quint16 port, QObject* parent = nullptr);
    ~ProbeReachability() override;

    quint16 port() const { return m_port; }

    bool startNotifier() override;
    void stopNotifier() override;
    NetworkStatus currentReachabilityStatus() const override { return m_status; }
    void checkNow() override;

private:
    void probe();
    void finishProbe(NetworkStatus status);

    quint16 m_port;
    NetworkStatus m_status = NotReachable;
    bool m_reported = false;
    QTimer m_timer;
    QPointer<QTcpSocket> m_socket;
};

} // namespace tavrel
