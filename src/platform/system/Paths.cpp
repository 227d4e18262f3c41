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

// A folder of the desktop's user-dirs.dirs ("XDG_DOWNLOAD_DIR=\"$HOME/Downloads\""), else nothing.
QString userDirectory(const char* name)
{
    const QByteArray fromEnvironment = qgetenv(name);
    if (fromEnvironment.startsWith('/'))
        return QFile::decodeName(fromEnvironment);
    QFile file(Paths::configHome() + QStringLiteral("/user-dirs.dirs"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QByteArray prefix = QByteArray(name) + '=';
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (!line.startsWith(prefix))
            continue;
        QString value = QString::fromUtf8(line.mid(prefix.size()));
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        if (value.startsWith(QLatin1String("$HOME")))
            value = Paths::homeFolder() + value.mid(5);
        // The home folder itself means the desktop has no such folder.
        if (value.startsWith(QLatin1Char('/')) &&
            QDir::cleanPath(value) != QDir::cleanPath(Paths::homeFolder()))
            return QDir::cleanPath(value);
        return {};
    }
    return {};
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
    const QString desktops = userDirectory("XDG_DOWNLOAD_DIR");
    if (!desktops.isEmpty())
        return desktops;
    return homeFolder() + QStringLiteral("/Downloads");
}

} // namespace tavrel
