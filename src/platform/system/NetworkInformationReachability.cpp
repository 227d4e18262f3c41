#include "platform/system/NetworkInformationReachability.h"

#include <QNetworkInformation>
#include <QTimer>

namespace tavrel {

NetworkInformationReachability::NetworkInformationReachability(const QString& hostName, QObject* parent)
    : Reachability(hostName, parent)
{}

NetworkInformationReachability::~NetworkInformationReachability()
{
    stopNotifier();
}

bool NetworkInformationReachability::isAvailable()
{
    if (QNetworkInformation::instance())
        return QNetworkInformation::instance()->supports(QNetworkInformation::Feature::Reachability);
    return QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
}

bool NetworkInformationReachability::startNotifier()
{
    if (!isAvailable())
        return false;
    stopNotifier();
    QNetworkInformation* information = QNetworkInformation::instance();
    m_reachabilityConnection = connect(information, &QNetworkInformation::reachabilityChanged, this,
                                       [this] { reachabilityCallback(); });
    m_portalConnection = connect(information, &QNetworkInformation::isBehindCaptivePortalChanged, this,
                                 [this] { reachabilityCallback(); });
    // The first report tells the current state, as the platform watcher does once scheduled.
    QTimer::singleShot(0, this, [this] { reachabilityCallback(); });
    return true;
}

void NetworkInformationReachability::stopNotifier()
{
    disconnect(m_reachabilityConnection);
    disconnect(m_portalConnection);
}

Reachability::NetworkStatus NetworkInformationReachability::currentReachabilityStatus() const
{
    const QNetworkInformation* information = QNetworkInformation::instance();
    if (!information)
        return NotReachable;
    if (information->reachability() != QNetworkInformation::Reachability::Online)
        return NotReachable;
    // Reachable only through a login page counts as offline.
    return connectionRequired() ? NotReachable : ReachableViaNetwork;
}

bool NetworkInformationReachability::connectionRequired() const
{
    const QNetworkInformation* information = QNetworkInformation::instance();
    return information && information->isBehindCaptivePortal();
}

} // namespace tavrel
