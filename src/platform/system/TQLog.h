#pragma once

#include <QLoggingCategory>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace tavrel {

// The log's areas as Qt's logging categories, so QT_LOGGING_RULES turns them on and off.
Q_DECLARE_LOGGING_CATEGORY(lcStore)     // "tavrel.store": the store, its records, accounts
Q_DECLARE_LOGGING_CATEGORY(lcSync)      // "tavrel.sync": synchronisations, the service, the pipeline
Q_DECLARE_LOGGING_CATEGORY(lcTransfers) // "tavrel.transfers": downloads, uploads, caches, progress
Q_DECLARE_LOGGING_CATEGORY(lcInterface) // "tavrel.interface": the windows and their parts
Q_DECLARE_LOGGING_CATEGORY(lcGeneral)   // "tavrel": the rest

// The area of a source file, by its name and its folder below src/ (TQLog's lines take the area of the
// file that writes them).
const QLoggingCategory& logCategoryForSourceFile(const char* path);

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

// A TQLog format and the source file of the call that wrote it.
struct LogFormat
{
    LogFormat(const char* format, const char* file = __builtin_FILE()) : text(format), sourceFile(file) {}
    const char* text;
    const char* sourceFile;
};
} // namespace detail

// The process-wide log: a printf-style format (with %@) and its arguments, written as one line unless
// the logging rules turn off the informational messages of the calling file's area.
template <typename... Args> void TQLog(detail::LogFormat format, const Args&... args)
{
    if (!logCategoryForSourceFile(format.sourceFile).isInfoEnabled())
        return;
    detail::writeLogMessage(
        detail::formatLogMessage(format.text, QStringList{detail::logArgumentText(args)...}));
}

} // namespace tavrel
