#include "session/ConnectionStatus.h"

#include "platform/gdata/OAuth2Configuration.h"
#include "platform/runtime/Invocation.h"
#include "platform/runtime/NotificationCenter.h"

namespace tavrel {

namespace {
std::unique_ptr<Reachability> serviceHostReachability()
{
    const QUrl service = OAuth2Configuration::currentServiceURL();
    const int defaultPort = service.scheme() == QLatin1String("https") ? 443 : 80;
    return Reachability::reachabilityWithHostName(service.host(), quint16(service.port(defaultPort)));
}
} // namespace

ConnectionStatus::ConnectionStatus(QObject* parent) : ConnectionStatus(serviceHostReachability(), parent) {}

ConnectionStatus::ConnectionStatus(std::unique_ptr<Reachability> hostReachable, QObject* parent)
    : QObject(parent)
{
    NotificationCenter::defaultCenter().addObserver(
        this, Reachability::kNetworkReachabilityChangedNotification, QVariant(),
        [this](const Notification& notification) { checkNetworkStatus(notification); });
    // A request that could not connect has the watcher look again at once (posted on any thread).
    NotificationCenter::defaultCenter().addObserver(
        this, Reachability::kConnectionFailedNotification, QVariant(),
        [this](const Notification& notification) {
            const QString host = notification.object().toString();
            QPointer<ConnectionStatus> self(this);
            QMetaObject::invokeMethod(
                this,
                [self, host] {
                    if (self && self->m_hostReachable &&
                        (host.isEmpty() ||
                         host.compare(self->m_hostReachable->hostName(), Qt::CaseInsensitive) == 0))
                        self->m_hostReachable->checkNow();
                },
                Qt::QueuedConnection);
        });
    setHostReachable(std::move(hostReachable));
    // Offline until the first callback says otherwise.
    m_connectionStatus = 1;
    m_online = false;
}

ConnectionStatus::~ConnectionStatus()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    if (m_hostReachable)
        m_hostReachable->stopNotifier();
}

void ConnectionStatus::setHostReachable(std::unique_ptr<Reachability> hostReachable)
{
    if (m_hostReachable)
        m_hostReachable->stopNotifier();
    m_hostReachable = std::move(hostReachable);
    if (m_hostReachable)
        m_hostReachable->startNotifier();
}

void ConnectionStatus::setOnline(bool online)
{
    const bool old = m_online;
    m_online = online;
    emit onlineChanged(old, online);
}

void ConnectionStatus::checkNetworkStatus(const Notification& notification)
{
    auto* watcher = qobject_cast<Reachability*>(notification.objectAsQObject());
    const bool reachable = watcher && watcher->currentReachabilityStatus() != Reachability::NotReachable;
    m_connectionStatus = reachable ? 0 : 1;
    setOnline(reachable);
    NotificationCenter::defaultCenter().post(kCordelConnectionStatusChanged, QVariant(m_connectionStatus));
    const QString selector = QStringLiteral("connectionDidChangeStatus:");
    if (m_delegate && Invocation::respondsToSelector(m_delegate, selector)) {
        const InvocationPtr invocation = Invocation::invocationForSelector(selector, m_delegate.data());
        invocation->setArgument(Invocation::kFirstArgument, m_connectionStatus);
        invocation->invoke();
    }
}

} // namespace tavrel
