#include "platform/ui/InterfaceLog.h"

#include <QDebug>
#include <QMutex>

namespace tavrel {

namespace {
QMutex& writerLock()
{
    static QMutex lock;
    return lock;
}
std::function<void(const QString&)>& writerSlot()
{
    static std::function<void(const QString&)> writer;
    return writer;
}
} // namespace

void InterfaceLog::setWriter(std::function<void(const QString&)> writer)
{
    QMutexLocker locker(&writerLock());
    writerSlot() = std::move(writer);
}

void InterfaceLog::write(const QString& line)
{
    std::function<void(const QString&)> writer;
    {
        QMutexLocker locker(&writerLock());
        writer = writerSlot();
    }
    if (writer)
        writer(line);
    else
        qWarning().noquote() << line;
}

} // namespace tavrel
