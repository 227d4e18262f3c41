#pragma once

#include "app/LaunchCommand.h"

#include <QObject>
#include <QPointer>

class QLocalServer;

namespace tavrel {

// One running Tavrel per user: the first start listens on a local socket, and every later start hands
// its command there and ends. The socket lives in the user's runtime folder and is named after the
// data folder, so that a program run with another home (a test, a second user) has its own.
//
// The client side blocks and needs no event loop; the server side answers on the main thread's loop.
class InstanceChannel : public QObject
{
    Q_OBJECT
public:
    // How long a start waits for the running instance to take its command.
    static constexpr int kSendTimeoutMs = 5000;

    explicit InstanceChannel(QObject* parent = nullptr);
    ~InstanceChannel() override;

    // The socket's path.
    static QString serverName();

    // Hands the command to the running instance; false when none answers (none runs, or a stale
    // socket of one that ended without closing it).
    static bool sendToRunningInstance(const LaunchCommand& command, int timeoutMs = kSendTimeoutMs,
                                      QString* error = nullptr);

    // Becomes the running instance. False when another one already is (nothing was sent to it) or
    // the socket cannot be opened (the reason in error).
    bool listen(QString* error = nullptr);
    bool isListening() const;
    // Stops listening and removes the socket, so that a new start can take over (a relaunch).
    void close();

signals:
    // A later start's command, on the main thread.
    void commandReceived(const tavrel::LaunchCommand& command);

private:
    void acceptConnections();

    QPointer<QLocalServer> m_server;
};

} // namespace tavrel

Q_DECLARE_METATYPE(tavrel::LaunchCommand)
