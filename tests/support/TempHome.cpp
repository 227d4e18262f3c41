#include "support/TempHome.h"

#include <QDir>
#include <cstdlib>

namespace tavrel::test {

namespace {
// The process-wide base folder is made once (before the application object) so that even code run
// outside any fixture stays inside it; each TempHome lives below it.
QString baseFolder()
{
    static const QString base = [] {
        const QByteArray tmp =
            qgetenv("TAVREL_TEST_TMP").isEmpty() ? QByteArray("/tmp") : qgetenv("TAVREL_TEST_TMP");
        QByteArray templ = tmp + "/tavrel-test-XXXXXX";
        const char* made = mkdtemp(templ.data());
        return made ? QString::fromLocal8Bit(made) : QDir::tempPath();
    }();
    return base;
}

void setEnv(const char* name, const QString& value)
{
    qputenv(name, QFile::encodeName(value));
}
} // namespace

TempHome::TempHome()
{
    m_dir = std::make_unique<QTemporaryDir>(baseFolder() + QStringLiteral("/home-XXXXXX"));
    const QString root = m_dir->path();
    for (const char* sub : {"config", "data", "state", "cache", "runtime", "tmp"})
        QDir(root).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(root + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setEnv("HOME", root);
    setEnv("XDG_CONFIG_HOME", root + QStringLiteral("/config"));
    setEnv("XDG_DATA_HOME", root + QStringLiteral("/data"));
    setEnv("XDG_STATE_HOME", root + QStringLiteral("/state"));
    setEnv("XDG_CACHE_HOME", root + QStringLiteral("/cache"));
    setEnv("XDG_RUNTIME_DIR", root + QStringLiteral("/runtime"));
    setEnv("TMPDIR", root + QStringLiteral("/tmp"));
    // The desktop's own folders (downloads ...) come from the temporary configuration, never the user's.
    qunsetenv("XDG_DOWNLOAD_DIR");
}

TempHome::~TempHome() = default;

QString TempHome::path() const
{
    return m_dir->path();
}
QString TempHome::dataHome() const
{
    return m_dir->path() + QStringLiteral("/data");
}
QString TempHome::configHome() const
{
    return m_dir->path() + QStringLiteral("/config");
}
QString TempHome::stateHome() const
{
    return m_dir->path() + QStringLiteral("/state");
}
QString TempHome::cacheHome() const
{
    return m_dir->path() + QStringLiteral("/cache");
}

void removeBaseFolder()
{
    QDir(baseFolder()).removeRecursively();
}

} // namespace tavrel::test
