#pragma once

#include <QLockFile>
#include <QString>

namespace tavrel {

// One Tavrel on a data folder for the whole life of the process, from before its store opens until it
// has saved and ends. The instance channel alone cannot promise it: a restart closes the channel and
// starts the new process before the old one has gone, so the new one waits here for the old one.
// A process that died leaves a lock that the next one takes over.
class InstanceLock
{
public:
    // How long a start waits for the instance before it to end.
    static constexpr int kWaitTimeoutMs = 60000;

    InstanceLock();
    ~InstanceLock();

    // The lock file, beside the instance channel's socket.
    static QString fileName();

    // Takes the lock, waiting up to timeoutMs for the holder to end; the reason in error otherwise.
    bool lock(int timeoutMs = kWaitTimeoutMs, QString* error = nullptr);
    bool isLocked() const;
    void unlock();

private:
    QLockFile m_lock;
};

} // namespace tavrel
