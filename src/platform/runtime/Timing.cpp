#include "platform/runtime/Timing.h"

#include <QHash>
#include <mutex>
#include <optional>

namespace tavrel {

namespace {
std::mutex& overridesMutex()
{
    static std::mutex mutex;
    return mutex;
}
QHash<QString, qint64>& overrides()
{
    static QHash<QString, qint64> table;
    return table;
}
std::optional<qint64> overrideFor(const QString& name)
{
    std::lock_guard lock(overridesMutex());
    const auto it = overrides().constFind(name);
    if (it == overrides().constEnd())
        return std::nullopt;
    return *it;
}
} // namespace

qint64 Timing::milliseconds() const
{
    return overrideFor(QString::fromLatin1(m_name)).value_or(m_defaultMilliseconds);
}

void Timing::setOverride(const QString& name, qint64 milliseconds)
{
    std::lock_guard lock(overridesMutex());
    overrides().insert(name, milliseconds);
}

void Timing::clearOverride(const QString& name)
{
    std::lock_guard lock(overridesMutex());
    overrides().remove(name);
}

void Timing::clearAllOverrides()
{
    std::lock_guard lock(overridesMutex());
    overrides().clear();
}

Timing::Override::Override(const QString& name, qint64 milliseconds) : m_name(name)
{
    if (const auto previous = overrideFor(name)) {
        m_hadPrevious = true;
        m_previous = *previous;
    }
    setOverride(name, milliseconds);
}

Timing::Override::~Override()
{
    if (m_hadPrevious)
        setOverride(m_name, m_previous);
    else
        clearOverride(m_name);
}

} // namespace tavrel
