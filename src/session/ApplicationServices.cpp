#include "session/ApplicationServices.h"

#include "platform/runtime/ThreadDispatch.h"

#include <QCoreApplication>
#include <mutex>

namespace tavrel {

ApplicationServices* ApplicationServices::instance()
{
    static std::mutex mutex;
    static ApplicationServices* shared = nullptr;
    std::lock_guard lock(mutex);
    if (!shared) {
        shared = new ApplicationServices();
        if (!ThreadDispatch::isMainThread())
            shared->moveToThread(ThreadDispatch::mainThread());
        // Stands for the application's delegate until the shell exists: key paths from the application
        // object ("delegate.connectionStatus.online") reach the connection status through it.
        if (QCoreApplication* application = QCoreApplication::instance())
            application->setProperty("delegate", QVariant::fromValue<QObject*>(shared));
    }
    return shared;
}

void ApplicationServices::mainApplicationWindowWillShow()
{
    if (!m_connectionStatus)
        adoptConnectionStatus(new ConnectionStatus(this));
}

void ApplicationServices::mainApplicationWindowWillShow(std::unique_ptr<Reachability> hostReachable)
{
    if (!m_connectionStatus)
        adoptConnectionStatus(new ConnectionStatus(std::move(hostReachable), this));
}

void ApplicationServices::adoptConnectionStatus(ConnectionStatus* status)
{
    m_connectionStatus = status;
    emit connectionStatusChanged(status);
}

void ApplicationServices::resetForTesting()
{
    delete m_connectionStatus.data();
    m_connectionStatus = nullptr;
    emit connectionStatusChanged(nullptr);
}

} // namespace tavrel
