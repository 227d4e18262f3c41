#pragma once

#include "platform/system/TQLog.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <mutex>

namespace tavrel {

// A small named console logger: lines "INFO [name]: message" on stderr, with the time and process in
// front as the console log writes them. Only the names of activeLoggers() get a logger.
class Logger
{
public:
    using Output = std::function<void(const QString& line)>;

    static QStringList activeLoggers();
    // nullptr when the name is not an active logger's.
    static std::unique_ptr<Logger> initWithName(const QString& name);

    QString name() const;
    void setName(const QString& name);

    template <typename... Args> void info(const char* format, const Args&... args) const
    {
        write("INFO", format, QStringList{detail::logArgumentText(args)...});
    }
    template <typename... Args> void warn(const char* format, const Args&... args) const
    {
        write("WARN", format, QStringList{detail::logArgumentText(args)...});
    }
    template <typename... Args> void error(const char* format, const Args&... args) const
    {
        write("ERROR", format, QStringList{detail::logArgumentText(args)...});
    }
    template <typename... Args> void debug(const char*, const Args&...) const {}

    // Where the lines (without time and process) go; stderr when unset. For tests.
    static void setOutput(Output output);

private:
    explicit Logger(QString name) : m_name(std::move(name)) {}
    void write(const char* level, const char* format, const QStringList& arguments) const;

    mutable std::mutex m_mutex;
    QString m_name;
};

} // namespace tavrel
