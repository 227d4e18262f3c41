#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace tavrel {

namespace detail {
QString logArgumentText(const QVariant& value);
inline QString logArgumentText(const QString& value)
{
    return value;
}
inline QString logArgumentText(const char* value)
{
    return QString::fromUtf8(value);
}
template <typename T> QString logArgumentText(const T& value)
{
    if constexpr (requires { value.description(); })
        return value.description();
    else
        return logArgumentText(QVariant::fromValue(value));
}
// Replaces each conversion (%@, %d, %lu, %llu, %s, %f, %i, %ld, %lld, %u, %x, %p ...) in order with
// the next argument's text; "%%" is a percent sign.
QString formatLogMessage(const char* format, const QStringList& arguments);
void writeLogMessage(const QString& message);
} // namespace detail

// The process-wide log: a printf-style format (with %@) and its arguments, written as one line.
template <typename... Args> void TQLog(const char* format, const Args&... args)
{
    detail::writeLogMessage(detail::formatLogMessage(format, QStringList{detail::logArgumentText(args)...}));
}

} // namespace tavrel
