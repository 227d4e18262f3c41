#include "support/TempHome.h"

#include "support/HomeFolders.h"

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
} // namespace

TempHome::TempHome()
{
    m_dir = std::make_unique<QTemporaryDir>(baseFolder() + QStringLiteral("/home-XXXXXX"));
    const QString root = m_dir->path();
    makeHomeFolders(root);
    pointHomeAt(root);
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
