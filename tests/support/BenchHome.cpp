#include "BenchHome.h"

#include "support/HomeFolders.h"

#include <QByteArray>
#include <QFile>
#include <cstdlib>

namespace tavrel::bench {

QString useHome(const QString& root)
{
    test::pointHomeAt(root);
    return root;
}

QString makeHome(const QString& name, const QStringList& extra)
{
    QByteArray templ = QStringLiteral("/tmp/tavrel-bench-%1-XXXXXX").arg(name).toLocal8Bit();
    const char* made = mkdtemp(templ.data());
    if (!made)
        return {};
    const QString root = QString::fromLocal8Bit(made);
    test::makeHomeFolders(root, extra);
    return useHome(root);
}

long peakRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

double peakRssMb()
{
    const long kb = peakRssKb();
    return kb < 0 ? -1 : kb / 1024.0;
}

} // namespace tavrel::bench
