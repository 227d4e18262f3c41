#pragma once

#include <QString>
#include <chrono>

namespace tavrel {

// Named durations (sync interval, time-outs, message delays ...) that tests can shorten. Each user
// declares its constant where it is used and reads it at the moment of use:
//     inline const Timing kSyncInterval{"syncInterval", 30000};
//     timer.start(kSyncInterval.milliseconds());
// A test overrides by name: Timing::Override fast("syncInterval", 50);
class Timing
{
public:
    constexpr Timing(const char* name, qint64 defaultMilliseconds)
        : m_name(name), m_defaultMilliseconds(defaultMilliseconds)
    {}

    const char* name() const { return m_name; }
    qint64 defaultMilliseconds() const { return m_defaultMilliseconds; }
    // The override for the name when one is set, else the default.
    qint64 milliseconds() const;
    double seconds() const { return double(milliseconds()) / 1000.0; }
    std::chrono::milliseconds duration() const { return std::chrono::milliseconds(milliseconds()); }

    static void setOverride(const QString& name, qint64 milliseconds);
    static void clearOverride(const QString& name);
    static void clearAllOverrides();

    // Sets an override for its own lifetime (restoring the previous state after).
    class Override
    {
    public:
        Override(const QString& name, qint64 milliseconds);
        ~Override();
        Override(const Override&) = delete;
        Override& operator=(const Override&) = delete;

    private:
        QString m_name;
        bool m_hadPrevious = false;
        qint64 m_previous = 0;
    };

private:
    const char* m_name;
    qint64 m_defaultMilliseconds;
};

} // namespace tavrel
