#include "platform/system/DMTracker.h"

#include "platform/runtime/ThreadDispatch.h"

#include <mutex>

namespace tavrel {

DMTracker* DMTracker::defaultTracker()
{
    static std::mutex mutex;
    static DMTracker* shared = nullptr;
    std::lock_guard lock(mutex);
    if (!shared) {
        shared = new DMTracker();
        if (!ThreadDispatch::isMainThread())
            shared->moveToThread(ThreadDispatch::mainThread());
    }
    return shared;
}

void DMTracker::trackEventInCategory(const QString& category, const QString& name, const QString& value)
{
    emit eventTracked(category, name, value);
}

void DMTracker::startApp()
{
    emit appStarted();
}

} // namespace tavrel
