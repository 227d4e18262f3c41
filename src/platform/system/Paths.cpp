#include "platform/system/Paths.h"

#include <QDir>
#include <QFile>

namespace tavrel {

namespace {
QString envFolder(const char* name, const QString& fallbackBelowHome)
{
    const QByteArray value = qgetenv(name);
    // The XDG rules ignore relative paths.
    if (!value.isEmpty() && value.startsWith('/'))
        return QFile::decodeName(value);
    return Paths::homeFolder() + QLatin1Char('/') + fallbackBelowHome;
}
} // namespace

QString Paths::homeFolder()
{
    const QByteArray home = qgetenv("HOME");
    return home.isEmpty() ? QDir::homePath() : QFile::decodeName(home);
}

QString Paths::dataHome()
{
    return envFolder("XDG_DATA_HOME", QStringLiteral(".local/share"));
}
QString Paths::configHome()
{
    return envFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
}
QString Paths::stateHome()
{
    return envFolder("XDG_STATE_HOME", QStringLiteral(".local/state"));
}
QString Paths::cacheHome()
{
    return envFolder("XDG_CACHE_HOME", QStringLiteral(".cache"));
}

QString Paths::tempFolder()
{
    const QByteArray tmp = qgetenv("TMPDIR");
    return tmp.isEmpty() ? QStringLiteral("/tmp") : QFile::decodeName(tmp);
}

QString Paths::applicationSupportFolder()
{
    return dataHome() + QStringLiteral("/Tavrel");
}
QString Paths::accountsFolder()
{
    return dataHome() + QStringLiteral("/tavrel");
}
QString Paths::logFile()
{
    return stateHome() + QStringLiteral("/Tavrel/Tavrel.log");
}
QString Paths::settingsFile()
{
    return configHome() + QStringLiteral("/Tavrel/Tavrel.conf");
}
QString Paths::documentsFolder()
{
    return homeFolder() + QStringLiteral("/Documents");
}
QString Paths::downloadsFolder()
{
    return homeFolder() + QStringLiteral("/Downloads");
}

} // namespace tavrel
