#include "platform/system/Logger.h"

#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>

namespace tavrel {

namespace {
std::mutex& outputMutex()
{
    static std::mutex mutex;
    return mutex;
}
Logger::Output& outputSlot()
{
    static Logger::Output output;
    return output;
}
} // namespace

QStringList Logger::activeLoggers()
{
    static const QStringList names{QStringLiteral("login"), QStringLiteral("test")};
    return names;
}

std::unique_ptr<Logger> Logger::initWithName(const QString& name)
{
    if (!activeLoggers().contains(name))
        return nullptr;
    return std::unique_ptr<Logger>(new Logger(name));
}

QString Logger::name() const
{
    std::lock_guard lock(m_mutex);
    return m_name;
}

void Logger::setName(const QString& name)
{
    std::lock_guard lock(m_mutex);
    m_name = name;
}

void Logger::setOutput(Output output)
{
    std::lock_guard lock(outputMutex());
    outputSlot() = std::move(output);
}

void Logger::write(const char* level, const char* format, const QStringList& arguments) const
{
    const QString line = QStringLiteral("%1 [%2]: %3")
                             .arg(QLatin1String(level), name(), detail::formatLogMessage(format, arguments));
    std::lock_guard lock(outputMutex());
    if (outputSlot()) {
        outputSlot()(line);
        return;
    }
    const QString stamped =
        QStringLiteral("%1 Tavrel[%2] %3\n")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")))
            .arg(QCoreApplication::applicationPid())
            .arg(line);
    const QByteArray bytes = stamped.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

} // namespace tavrel
