#include "notifications/TQExternalNotificationCenter.h"

#include "notifications/TQStandardNotificationCenter.h"

#include <mutex>

namespace tavrel {

TQExternalNotificationCenter* TQExternalNotificationCenter::defaultCenter()
{
    static std::mutex mutex;
    static TQExternalNotificationCenter* shared = nullptr;
    std::lock_guard lock(mutex);
    if (!shared)
        shared = new TQStandardNotificationCenter();
    return shared;
}

} // namespace tavrel
