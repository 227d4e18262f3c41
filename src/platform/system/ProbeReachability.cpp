#include "platform/system/ProbeReachability.h"

#include "platform/runtime/Timing.h"

namespace tavrel {

namespace {
inline const Timing kProbeInterval{"reachabilityProbeInterval", 15000};
inline const Timing kProbeTimeout{"reachabilityProbeTimeout", 5000};
} // namespace

ProbeReachability::ProbeReachability(const QString& hostName, quint16 port, QObject* parent)
    : Reachability(hostName, parent), m_port(port)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ProbeReachability::probe);
}

ProbeReachability::~ProbeReachability()
{
    stopNotifier();
}

bool ProbeReachability::startNotifier()
{
    stopNotifier();
    m_reported = false;
    m_timer.start(0);
    return true;
}

void ProbeReachability::stopNotifier()
{
    m_timer.stop();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
    }
}

void ProbeReachability::probe()
{
    auto* socket = new QTcpSocket(this);
    m_socket = socket;
    auto* timeout = new QTimer(socket);
    timeout->setSingleShot(true);
    connect(socket, &QTcpSocket::connected, this, [this] { finishProbe(ReachableViaNetwork); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this] { finishProbe(NotReachable); });
    connect(timeout, &QTimer::timeout, this, [this] { finishProbe(NotReachable); });
    timeout->start(int(kProbeTimeout.milliseconds()));
    socket->connectToHost(hostName(), m_port);
}

void ProbeReachability::finishProbe(NetworkStatus status)
{
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
    const bool changed = !m_reported || status != m_status;
    m_status = status;
    m_reported = true;
    m_timer.start(int(kProbeInterval.milliseconds()));
    if (changed)
        reachabilityCallback();
}

} // namespace tavrel
