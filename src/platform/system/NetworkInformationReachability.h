#pragma once

#include "platform/system/Reachability.h"

#include <QMetaObject>

namespace tavrel {

// Reachability from QNetworkInformation (the glib backend here; NetworkManager where it runs). The
// host counts as reachable when the system reports a connection to the internet that needs no login.
class NetworkInformationReachability : public Reachability
{
    Q_OBJECT

public:
    explicit NetworkInformationReachability(const QString& hostName, QObject* parent = nullptr);
    ~NetworkInformationReachability() override;

    // Loads a backend that reports reachability, once; false when none does.
    static bool isAvailable();

    bool startNotifier() override;
    void stopNotifier() override;
    NetworkStatus currentReachabilityStatus() const override;
    bool connectionRequired() const override;

private:
    QMetaObject::Connection m_reachabilityConnection;
    QMetaObject::Connection m_portalConnection;
};

} // namespace tavrel
