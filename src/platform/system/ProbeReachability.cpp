#include "platform/system/ProbeReachability.h"

#include "platform/runtime/Timing.h"

namespace tavrel {

namespace {
inline const Timing kProbeInterval{"reachabilityProbeInterval", 15000};
inline const Timing kOfflineProbeInterval{"reachabilityOfflineProbeInterval", 3000};
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

void ProbeReachability::checkNow()
{
    // A probe under way answers soon enough.
    if (!m_socket)
        m_timer.start(0);
}

void ProbeReachability::probe()
{
    auto* socket = new QTcpSocket(this);
    m_socket = socket;
    auto* timeout = new QTimer(socket);
    timeout->setSingleShot(true);
    // Accepting is not answering: a hung service's system still accepts connections.
    connect(socket, &QTcpSocket::connected, socket, [socket, this] {
        socket->write("HEAD / HTTP/1.1\r\nHost: " + hostName().toUtf8() + "\r\nConnection: close\r\n\r\n");
    });
    connect(socket, &QTcpSocket::readyRead, this, [this] { finishProbe(ReachableViaNetwork); });
    // A host that closes after accepting is there (a service speaking another protocol).
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        finishProbe(error == QAbstractSocket::RemoteHostClosedError ? ReachableViaNetwork : NotReachable);
    });
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
    m_timer.start(int((status == NotReachable ? kOfflineProbeInterval : kProbeInterval).milliseconds()));
    if (changed)
        reachabilityCallback();
}

} // namespace tavrel
