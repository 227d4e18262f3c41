#include "platform/system/DamagedFiles.h"

#include <QDateTime>
#include <QFile>

namespace tavrel {

namespace {
bool isTaken(const QString& target, const QStringList& suffixes)
{
    if (QFile::exists(target))
        return true;
    for (const QString& suffix : suffixes)
        if (QFile::exists(target + suffix))
            return true;
    return false;
}
} // namespace

QString DamagedFiles::moveAside(const QString& path, const QStringList& companionSuffixes)
{
    if (path.isEmpty())
        return QString();
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = path + QStringLiteral(".corrupt-") + stamp;
    QString target = base;
    for (int n = 1; isTaken(target, companionSuffixes); ++n)
        target = base + QLatin1Char('-') + QString::number(n);
    if (!QFile::rename(path, target))
        return QString();
    for (const QString& suffix : companionSuffixes)
        if (QFile::exists(path + suffix) && !QFile::rename(path + suffix, target + suffix))
            QFile::remove(path + suffix);
    return target;
}

} // namespace tavrel
