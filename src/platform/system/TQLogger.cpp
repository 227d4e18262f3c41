#include "platform/system/TQLogger.h"

#include "platform/system/Paths.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    const QString time = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    const QByteArray line = QStringLiteral("%1 Tavrel[%2] <Info>: %3\n")
                                .arg(time)
                                .arg(QCoreApplication::applicationPid())
                                .arg(message)
                                .toUtf8();
    std::lock_guard lock(m_writeMutex);
    if (m_descriptor >= 0)
        writeAll(m_descriptor, line); // one write per line: O_APPEND keeps lines whole across processes
#ifndef NDEBUG
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
#endif
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
