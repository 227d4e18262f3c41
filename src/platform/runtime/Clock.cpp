#include "platform/runtime/Clock.h"

#include <QMutex>

namespace tavrel {

namespace {
QMutex& pinLock()
{
    static QMutex lock;
    return lock;
}

std::optional<QDateTime>& pinned()
{
    static std::optional<QDateTime> instant;
    return instant;
}
} // namespace

QDateTime Clock::now()
{
    {
        const QMutexLocker locker(&pinLock());
        if (pinned())
            return pinned()->toUTC();
    }
    return QDateTime::currentDateTimeUtc();
}

void Clock::setNowForTesting(std::optional<QDateTime> now)
{
    const QMutexLocker locker(&pinLock());
    pinned() = std::move(now);
}

} // namespace tavrel
