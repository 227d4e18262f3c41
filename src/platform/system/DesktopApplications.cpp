#include "platform/system/DesktopApplications.h"

#include "platform/system/Paths.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

namespace tavrel {

namespace {

QStringList environmentList(const char* name, const QString& fallback)
{
    const QString value = qEnvironmentVariable(name);
    return (value.isEmpty() ? fallback : value).split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

QStringList applicationFolders()
{
    QStringList folders{Paths::dataHome() + QStringLiteral("/applications")};
    for (const QString& data :
         environmentList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share")))
        folders.append(data + QStringLiteral("/applications"));
    return folders;
}

// The mimeapps.list files, most important first.
QStringList associationFiles()
{
    QStringList files{Paths::configHome() + QStringLiteral("/mimeapps.list")};
    for (const QString& config : environmentList("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg")))
        files.append(config + QStringLiteral("/mimeapps.list"));
    for (const QString& folder : applicationFolders())
        files.append(folder + QStringLiteral("/mimeapps.list"));
    return files;
}

// Key-value lines of one group of a desktop-style file (no localised keys, no QSettings quoting).
QHash<QString, QString> readGroup(const QString& path, const QString& group)
{
    QHash<QString, QString> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return values;
    QTextStream in(&file);
    bool inGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QLatin1Char('[') + group + QLatin1Char(']');
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inGroup || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        if (!values.contains(key))
            values.insert(key, line.mid(equals + 1).trimmed());
    }
    return values;
}

// A string value's escapes: \s \n \t \r \\.
QString unescapeValue(const QString& value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 >= value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        if (next == QLatin1Char('s'))
            out += QLatin1Char(' ');
        else if (next == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (next == QLatin1Char('t'))
            out += QLatin1Char('\t');
        else if (next == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else
            out += next;
    }
    return out;
}

QStringList listValue(const QString& value)
{
    return value.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

// Splits an Exec line into arguments: double quotes group, and inside them \" \` \$ \\ stand for the
// character.
bool splitExec(const QString& line, QStringList* arguments)
{
    QString current;
    bool quoted = false;
    bool pending = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < line.size()) {
                current += line.at(++i);
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            pending = true;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (pending || !current.isEmpty())
                arguments->append(current);
            current.clear();
            pending = false;
        } else {
            current += c;
        }
    }
    if (quoted)
        return false;
    if (pending || !current.isEmpty())
        arguments->append(current);
    return !arguments->isEmpty();
}

QString findDesktopFile(const QString& id)
{
    if (id.contains(QLatin1Char('/')))
        return QFileInfo::exists(id) ? id : QString();
    for (const QString& folder : applicationFolders()) {
        const QString candidate = folder + QLatin1Char('/') + id;
        if (QFileInfo::exists(candidate))
            return candidate;
        // "vendor-app.desktop" may live as vendor/app.desktop.
        QString nested = id;
        nested.replace(QLatin1Char('-'), QLatin1Char('/'));
        if (nested != id && QFileInfo::exists(folder + QLatin1Char('/') + nested))
            return folder + QLatin1Char('/') + nested;
    }
    return QString();
}

} // namespace

DesktopApplications::Entry DesktopApplications::entryForDesktopFile(const QString& pathOrId)
{
    const QString path = findDesktopFile(pathOrId);
    if (path.isEmpty())
        return {};
    const QHash<QString, QString> group = readGroup(path, QStringLiteral("Desktop Entry"));
    if (group.value(QStringLiteral("Type"), QStringLiteral("Application")) != QLatin1String("Application") ||
        group.value(QStringLiteral("Hidden")) == QLatin1String("true"))
        return {};
    Entry entry;
    entry.path = path;
    entry.name = unescapeValue(group.value(QStringLiteral("Name")));
    entry.exec = unescapeValue(group.value(QStringLiteral("Exec")));
    entry.icon = unescapeValue(group.value(QStringLiteral("Icon")));
    entry.mimeTypes = listValue(group.value(QStringLiteral("MimeType")));
    return entry.exec.isEmpty() ? Entry() : entry;
}

QList<DesktopApplications::Entry> DesktopApplications::applicationsForMIMEType(const QString& MIMEType)
{
    QList<Entry> found;
    QStringList seen;
    const auto add = [&](const QString& id) {
        const Entry entry = entryForDesktopFile(id);
        if (entry.isValid() && !seen.contains(entry.path)) {
            seen.append(entry.path);
            found.append(entry);
        }
    };
    const QStringList files = associationFiles();
    for (const QString& file : files)
        for (const QString& id :
             listValue(readGroup(file, QStringLiteral("Default Applications")).value(MIMEType)))
            add(id);
    for (const QString& file : files)
        for (const QString& id :
             listValue(readGroup(file, QStringLiteral("Added Associations")).value(MIMEType)))
            add(id);
    for (const QString& folder : applicationFolders()) {
        const QStringList desktops =
            QDir(folder).entryList({QStringLiteral("*.desktop")}, QDir::Files, QDir::Name);
        for (const QString& desktop : desktops) {
            const Entry entry = entryForDesktopFile(folder + QLatin1Char('/') + desktop);
            if (entry.isValid() && entry.mimeTypes.contains(MIMEType) && !seen.contains(entry.path)) {
                seen.append(entry.path);
                found.append(entry);
            }
        }
    }
    return found;
}

DesktopApplications::Entry DesktopApplications::defaultApplicationForMIMEType(const QString& MIMEType)
{
    const QList<Entry> all = applicationsForMIMEType(MIMEType);
    return all.isEmpty() ? Entry() : all.first();
}

QStringList DesktopApplications::commandForEntry(const Entry& entry, const QStringList& files)
{
    QStringList split;
    if (!splitExec(entry.exec, &split))
        return {};
    QStringList command;
    bool filesGiven = false;
    for (const QString& argument : std::as_const(split)) {
        if (argument == QLatin1String("%F") || argument == QLatin1String("%U")) {
            for (const QString& file : files)
                command.append(argument == QLatin1String("%U")
                                   ? QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded)
                                   : file);
            filesGiven = true;
            continue;
        }
        QString expanded;
        bool keep = true;
        for (qsizetype i = 0; i < argument.size(); ++i) {
            const QChar c = argument.at(i);
            if (c != QLatin1Char('%') || i + 1 >= argument.size()) {
                expanded += c;
                continue;
            }
            const QChar code = argument.at(++i);
            switch (code.unicode()) {
            case '%':
                expanded += QLatin1Char('%');
                break;
            case 'f':
                expanded += files.value(0);
                filesGiven = true;
                break;
            case 'u':
                expanded += files.isEmpty() ? QString()
                                            : QUrl::fromLocalFile(files.first()).toString(QUrl::FullyEncoded);
                filesGiven = true;
                break;
            case 'c':
                expanded += entry.name;
                break;
            case 'k':
                expanded += entry.path;
                break;
            case 'i':
                keep = false; // no icon to pass
                break;
            default:
                break; // deprecated codes stand for nothing
            }
        }
        if (keep && !(expanded.isEmpty() && argument.startsWith(QLatin1Char('%'))))
            command.append(expanded);
    }
    // An entry that takes no file still gets it, as most launchers do.
    if (!filesGiven)
        command += files;
    return command;
}

bool DesktopApplications::openFileWithEntry(const QString& file, const Entry& entry)
{
    const QStringList command = commandForEntry(entry, {file});
    if (command.isEmpty())
        return false;
    QString program = command.first();
    if (!program.contains(QLatin1Char('/')))
        program = QStandardPaths::findExecutable(program);
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, command.mid(1), QFileInfo(file).absolutePath());
}

bool DesktopApplications::openFile(const QString& file, const QUrl& applicationURL)
{
    if (!QFileInfo::exists(file))
        return false;
    if (!applicationURL.isEmpty()) {
        const QString application =
            applicationURL.isLocalFile() ? applicationURL.toLocalFile() : applicationURL.toString();
        if (application.endsWith(QLatin1String(".desktop")))
            return openFileWithEntry(file, entryForDesktopFile(application));
        const QFileInfo program(application);
        if (!program.isFile() || !program.isExecutable())
            return false;
        return QProcess::startDetached(program.absoluteFilePath(), {file}, QFileInfo(file).absolutePath());
    }
    static const QMimeDatabase types;
    const QMimeType type = types.mimeTypeForFile(file);
    // The type itself, then what it is also known as, then what it is a kind of (text/plain ...).
    for (const QString& name : QStringList{type.name()} + type.aliases() + type.allAncestors()) {
        const Entry entry = defaultApplicationForMIMEType(name);
        if (entry.isValid())
            return openFileWithEntry(file, entry);
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

} // namespace tavrel
