#pragma once

#include <QtGlobal>
#include <functional>

namespace tavrel {

// Work run once after a delay on the main thread, grouped by a key (the object it is aimed at), so
// that every pending request of one object can be cancelled at once. Cells are values, not QObjects:
// a cell that schedules work with itself as key cancels it in its destructor.
class DelayedPerform
{
public:
    static void perform(const void* key, qint64 milliseconds, std::function<void()> work);
    static void cancelPreviousPerformRequests(const void* key);
};

} // namespace tavrel
