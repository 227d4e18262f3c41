#include "support/HomeFolders.h"

#include <QDir>
#include <QFile>

namespace tavrel::test {

void makeHomeFolders(const QString& root, const QStringList& extra)
{
    QStringList subs{"config", "data", "state", "cache", "runtime", "tmp"};
    subs << extra;
    for (const QString& sub : std::as_const(subs))
        QDir(root).mkpath(sub);
    QFile::setPermissions(root + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void pointHomeAt(const QString& root)
{
    const auto set = [](const char* name, const QString& value) { qputenv(name, QFile::encodeName(value)); };
    set("HOME", root);
    set("XDG_CONFIG_HOME", root + QStringLiteral("/config"));
    set("XDG_DATA_HOME", root + QStringLiteral("/data"));
    set("XDG_STATE_HOME", root + QStringLiteral("/state"));
    set("XDG_CACHE_HOME", root + QStringLiteral("/cache"));
    set("XDG_RUNTIME_DIR", root + QStringLiteral("/runtime"));
    set("TMPDIR", root + QStringLiteral("/tmp"));
    qunsetenv("XDG_DOWNLOAD_DIR");
}

} // namespace tavrel::test
