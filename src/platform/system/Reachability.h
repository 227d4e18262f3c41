#pragma once

#include <QObject>
#include <QString>
#include <memory>

namespace tavrel {

// Watches whether one host can be reached. Every time the platform reports a change (and once after
// the notifier starts) it posts "kNetworkReachabilityChangedNotification" with itself as object, on
// the thread that started the notifier (the main thread).
class Reachability : public QObject
{
    Q_OBJECT

public:
    static inline const QString kNetworkReachabilityChangedNotification =
        QStringLiteral("kNetworkReachabilityChangedNotification");

    // Posted (on any thread) when a request to a host failed for want of a connection (refused, timed
    // out, host unknown), with the host name as object: the watchers of that host look again at once
    // instead of at their next turn.
    static inline const QString kConnectionFailedNotification =
        QStringLiteral("kServiceConnectionFailedNotification");

    enum NetworkStatus { NotReachable = 0, ReachableViaNetwork = 1 };

    // A watcher of the host: the system's network information when a backend loads (and the host is
    // not this machine), else a connect probe of the host and port. Null for an empty host name.
    static std::unique_ptr<Reachability> reachabilityWithHostName(const QString& hostName, quint16 port);

    ~Reachability() override;

    const QString& hostName() const { return m_hostName; }

    // Answers whether the watcher now reports changes.
    virtual bool startNotifier() = 0;
    virtual void stopNotifier() = 0;
    virtual NetworkStatus currentReachabilityStatus() const = 0;
    // Reachable only after the user does something (a captive portal, a dial-up prompt).
    virtual bool connectionRequired() const { return false; }
    // Looks again now, when the watcher can (a request just failed to connect).
    virtual void checkNow() {}

protected:
    explicit Reachability(QString hostName, QObject* parent = nullptr);
    // The platform callback: posts the changed notification.
    void reachabilityCallback();

private:
    QString m_hostName;
};

} // namespace tavrel
