#include "platform/system/TQLogger.h"

#include "platform/system/Paths.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace tavrel {

namespace {

std::recursive_mutex& classMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

TQLogger*& sharedSlot()
{
    static TQLogger* shared = nullptr;
    return shared;
}

std::atomic<QtMessageHandler>& previousHandler()
{
    static std::atomic<QtMessageHandler> previous = nullptr;
    return previous;
}

const char* levelName(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return "Debug";
    case QtInfoMsg:
        return "Info";
    case QtWarningMsg:
        return "Warning";
    case QtCriticalMsg:
        return "Critical";
    case QtFatalMsg:
        return "Fatal";
    }
    return "Info";
}

void writeAll(int descriptor, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        data += written;
        left -= written;
    }
}

} // namespace

TQLogger* TQLogger::logger()
{
    std::lock_guard lock(classMutex());
    TQLogger*& shared = sharedSlot();
    if (!shared)
        shared = new TQLogger; // lives until the process ends
    {
        std::lock_guard writeLock(shared->m_writeMutex);
        if (shared->m_descriptor >= 0)
            return shared;
        if (shared->setUp())
            return shared;
    }
    return nullptr;
}

bool TQLogger::setUp()
{
    const QString path = Paths::logFile();
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray encoded = QFile::encodeName(path);
    if (!QFileInfo::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.close();
    }
    // Appending, never creating: the file was made above.
    const int descriptor = ::open(encoded.constData(), O_RDWR | O_APPEND | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    m_descriptor = descriptor;
    // A failed banner is ignored.
    writeAll(m_descriptor, QByteArrayLiteral("\n\n****************************\n"));
    return true;
}

void TQLogger::logFormat(const QString& message)
{
    writeLine("Info", message, true);
}

void TQLogger::writeLine(const char* level, const QString& message, bool echo)
{
    const QString time = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    const QByteArray line = QStringLiteral("%1 Tavrel[%2] <%3>: %4\n")
                                .arg(time)
                                .arg(QCoreApplication::applicationPid())
                                .arg(QLatin1String(level), message)
                                .toUtf8();
    std::lock_guard lock(m_writeMutex);
    if (m_descriptor >= 0)
        writeAll(m_descriptor, line); // one write per line: O_APPEND keeps lines whole across processes
#ifndef NDEBUG
    if (echo)
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
#else
    Q_UNUSED(echo);
#endif
}

void TQLogger::installMessageHandler()
{
    std::lock_guard lock(classMutex());
    const QtMessageHandler replaced = qInstallMessageHandler(&TQLogger::handleMessage);
    if (replaced != &TQLogger::handleMessage)
        previousHandler().store(replaced);
}

void TQLogger::handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    // A message raised while the log sets itself up (paths, folders) goes only to the console.
    static thread_local bool writing = false;
    if (!writing) {
        writing = true;
        const QLatin1String category(context.category ? context.category : "default");
        const bool own = category == QLatin1String("default") || category == QLatin1String("tavrel") ||
                         category.startsWith(QLatin1String("tavrel."));
        if (TQLogger* log = logger())
            log->writeLine(levelName(type),
                           own ? message : QString(category) + QStringLiteral(": ") + message, false);
        writing = false;
    }
    if (const QtMessageHandler previous = previousHandler().load())
        previous(type, context, message);
}

void TQLogger::resetForTesting()
{
    std::lock_guard lock(classMutex());
    TQLogger* shared = sharedSlot();
    if (!shared)
        return;
    std::lock_guard writeLock(shared->m_writeMutex);
    if (shared->m_descriptor >= 0)
        ::close(shared->m_descriptor);
    shared->m_descriptor = -1;
}

} // namespace tavrel
