#include "BenchHome.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cstdlib>

namespace tavrel::bench {

QString useHome(const QString& root)
{
    const auto set = [](const char* name, const QString& value) { qputenv(name, QFile::encodeName(value)); };
    set("HOME", root);
    set("XDG_CONFIG_HOME", root + QStringLiteral("/config"));
    set("XDG_DATA_HOME", root + QStringLiteral("/data"));
    set("XDG_STATE_HOME", root + QStringLiteral("/state"));
    set("XDG_CACHE_HOME", root + QStringLiteral("/cache"));
    set("XDG_RUNTIME_DIR", root + QStringLiteral("/runtime"));
    set("TMPDIR", root + QStringLiteral("/tmp"));
    return root;
}

QString makeHome(const QString& name, const QStringList& extra)
{
    QByteArray templ = QStringLiteral("/tmp/tavrel-bench-%1-XXXXXX").arg(name).toLocal8Bit();
    const char* made = mkdtemp(templ.data());
    if (!made)
        return {};
    const QString root = QString::fromLocal8Bit(made);
    QStringList subs{"config", "data", "state", "cache", "runtime", "tmp"};
    subs << extra;
    for (const QString& sub : subs)
        QDir(root).mkpath(sub);
    QFile::setPermissions(root + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return useHome(root);
}

double peakRssMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

} // namespace tavrel::bench
