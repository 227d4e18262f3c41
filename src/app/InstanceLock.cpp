#include "app/InstanceLock.h"

#include "app/InstanceChannel.h"
#include "platform/system/TQLog.h"

namespace tavrel {

InstanceLock::InstanceLock() : m_lock(fileName())
{
    // Only a holder that is gone leaves a stale lock, however long a session runs.
    m_lock.setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

QString InstanceLock::fileName()
{
    return InstanceChannel::serverName() + QStringLiteral(".running");
}

bool InstanceLock::lock(int timeoutMs, QString* error)
{
    if (m_lock.isLocked())
        return true;
    if (!m_lock.tryLock(0)) {
        if (m_lock.error() == QLockFile::LockFailedError) {
            TQLog("Start: waiting for the Tavrel that runs on this store to end");
            if (m_lock.tryLock(timeoutMs))
                return true;
        }
        if (error)
            *error = m_lock.error() == QLockFile::LockFailedError
                         ? QStringLiteral("another Tavrel still runs on this store")
                         : QStringLiteral("cannot lock %1").arg(fileName());
        return false;
    }
    return true;
}

bool InstanceLock::isLocked() const
{
    return m_lock.isLocked();
}

void InstanceLock::unlock()
{
    if (m_lock.isLocked())
        m_lock.unlock();
}

} // namespace tavrel
