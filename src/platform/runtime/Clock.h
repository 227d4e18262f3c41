#pragma once

#include <QDateTime>
#include <optional>

namespace tavrel {

// The current instant for code whose answers depend on it (relative dates), so that a test can pin it.
class Clock
{
public:
    // Now, in UTC; the pinned instant while a test has set one.
    static QDateTime now();
    // Pins now to the instant (none: the real clock again). Main thread, tests only.
    static void setNowForTesting(std::optional<QDateTime> now);
};

} // namespace tavrel
