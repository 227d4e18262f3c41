#include "platform/system/Reachability.h"

#include "platform/runtime/NotificationCenter.h"
#include "platform/system/NetworkInformationReachability.h"
#include "platform/system/ProbeReachability.h"

#include <QHostAddress>

namespace tavrel {

Reachability::Reachability(QString hostName, QObject* parent)
    : QObject(parent), m_hostName(std::move(hostName))
{}

Reachability::~Reachability() = default;

std::unique_ptr<Reachability> Reachability::reachabilityWithHostName(const QString& hostName, quint16 port)
{
    if (hostName.isEmpty())
        return nullptr;
    // The machine's own network state says nothing about a service on this machine.
    const QHostAddress address(hostName);
    const bool local =
        address.isLoopback() || hostName.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0;
    if (!local && NetworkInformationReachability::isAvailable())
        return std::make_unique<NetworkInformationReachability>(hostName);
    return std::make_unique<ProbeReachability>(hostName, port);
}

void Reachability::reachabilityCallback()
{
    NotificationCenter::defaultCenter().post(kNetworkReachabilityChangedNotification, this);
}

} // namespace tavrel
