#pragma once

#include "session/ConnectionStatus.h"

#include <QObject>
#include <QPointer>
#include <memory>

namespace tavrel {

// The process-wide services that the application shell owns, available before the shell exists.
// The shell calls mainApplicationWindowWillShow() when it first shows the main window; observers of
// "connectionStatus.online" connect when connectionStatusChanged arrives (or at once when the status
// already exists). Main thread only.
class ApplicationServices : public QObject
{
    Q_OBJECT
    Q_PROPERTY(
        tavrel::ConnectionStatus* connectionStatus READ connectionStatus NOTIFY connectionStatusChanged)

public:
    static ApplicationServices* instance();

    // The one connection status of the process; nullptr until the main window was first shown.
    ConnectionStatus* connectionStatus() const { return m_connectionStatus; }

    // Makes the connection status, once; later calls do nothing.
    void mainApplicationWindowWillShow();
    // The same with the given watcher (tests drive its callbacks).
    void mainApplicationWindowWillShow(std::unique_ptr<Reachability> hostReachable);

    // Deletes the connection status so that the next window shown makes a new one.
    void resetForTesting();

signals:
    void connectionStatusChanged(tavrel::ConnectionStatus* connectionStatus);

private:
    ApplicationServices() = default;
    void adoptConnectionStatus(ConnectionStatus* status);

    QPointer<ConnectionStatus> m_connectionStatus;
};

} // namespace tavrel
