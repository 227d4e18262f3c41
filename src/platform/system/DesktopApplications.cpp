#include "platform/system/DesktopApplications.h"

#include "platform/system/Paths.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QMimeDatabase>
#include <QProcess>
#include <QSet>
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

// The names of the running desktop, most specific first ("ubuntu:GNOME").
QStringList currentDesktops()
{
    return environmentList("XDG_CURRENT_DESKTOP", QString());
}

// A mimeapps.list file and the application folder it lies in (-1 for the configuration folders,
// which come before every application folder).
struct AssociationFile
{
    QString path;
    int folder;
};

// The mimeapps.list files, most important first: the configuration folders, then the application
// folders, and in each folder the files of the running desktop ("gnome-mimeapps.list") before the
// common one.
QList<AssociationFile> associationFiles()
{
    QStringList desktops;
    for (const QString& desktop : currentDesktops())
        desktops.append(desktop.toLower());
    QList<AssociationFile> files;
    const auto addFolder = [&](const QString& folder, int index) {
        for (const QString& desktop : std::as_const(desktops))
            files.append({folder + QLatin1Char('/') + desktop + QStringLiteral("-mimeapps.list"), index});
        files.append({folder + QStringLiteral("/mimeapps.list"), index});
    };
    addFolder(Paths::configHome(), -1);
    for (const QString& config : environmentList("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg")))
        addFolder(config, -1);
    const QStringList folders = applicationFolders();
    for (int i = 0; i < folders.size(); ++i)
        addFolder(folders.at(i), i);
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

bool isTrue(const QString& value)
{
    return value == QLatin1String("true");
}

// The installed desktop files by id: "vendor/app.desktop" below an applications folder is
// "vendor-app.desktop", and the first folder holding an id hides it in the later ones.
struct InstalledApplications
{
    QHash<QString, QString> paths; // id -> file
    QHash<QString, int> folders;   // id -> index of its applications folder
    QStringList ids;               // by folder, then by name
};

void collectDesktopFiles(const QString& folder, const QString& prefix, int index,
                         InstalledApplications* installed)
{
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.desktop")}, QDir::Files, QDir::Name)) {
        const QString id = prefix + name;
        if (installed->paths.contains(id))
            continue;
        installed->paths.insert(id, dir.filePath(name));
        installed->folders.insert(id, index);
        installed->ids.append(id);
    }
    // Linked folders are not followed: a link back up would never end.
    for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name))
        collectDesktopFiles(dir.filePath(sub), prefix + sub + QLatin1Char('-'), index, installed);
}

InstalledApplications installedApplications()
{
    InstalledApplications installed;
    const QStringList folders = applicationFolders();
    for (int i = 0; i < folders.size(); ++i)
        collectDesktopFiles(folders.at(i), QString(), i, &installed);
    return installed;
}

// A key in the user's language: Name[de_AT], then Name[de], then Name.
QString localisedValue(const QHash<QString, QString>& group, const QString& key)
{
    const QString locale = QLocale().name(); // "de_AT"
    QStringList keys{key + QLatin1Char('[') + locale + QLatin1Char(']')};
    const qsizetype underscore = locale.indexOf(QLatin1Char('_'));
    if (underscore > 0)
        keys.append(key + QLatin1Char('[') + locale.left(underscore) + QLatin1Char(']'));
    for (const QString& localised : std::as_const(keys))
        if (group.contains(localised))
            return group.value(localised);
    return group.value(key);
}

// TryExec names a program that must be installed for the entry to count.
bool tryExecFound(const QString& program)
{
    if (program.isEmpty())
        return true;
    if (program.startsWith(QLatin1Char('/'))) {
        const QFileInfo info(program);
        return info.isFile() && info.isExecutable();
    }
    return !QStandardPaths::findExecutable(program).isEmpty();
}

// Whether menus of the running desktop show the entry (NoDisplay, OnlyShowIn, NotShowIn).
bool isShown(const QHash<QString, QString>& group)
{
    if (isTrue(group.value(QStringLiteral("NoDisplay"))))
        return false;
    const QStringList onlyIn = listValue(group.value(QStringLiteral("OnlyShowIn")));
    const QStringList notIn = listValue(group.value(QStringLiteral("NotShowIn")));
    for (const QString& desktop : currentDesktops()) {
        if (onlyIn.contains(desktop))
            return true;
        if (notIn.contains(desktop))
            return false;
    }
    return onlyIn.isEmpty();
}

// The entry of a desktop file, with whether menus show it; invalid for a deleted (Hidden) entry, an
// entry whose TryExec program is missing, and anything that is no application.
DesktopApplications::Entry readEntry(const QString& path, bool* shown = nullptr)
{
    const QHash<QString, QString> group = readGroup(path, QStringLiteral("Desktop Entry"));
    if (group.value(QStringLiteral("Type"), QStringLiteral("Application")) != QLatin1String("Application") ||
        isTrue(group.value(QStringLiteral("Hidden"))) ||
        !tryExecFound(unescapeValue(group.value(QStringLiteral("TryExec")))))
        return {};
    DesktopApplications::Entry entry;
    entry.path = path;
    entry.name = unescapeValue(localisedValue(group, QStringLiteral("Name")));
    entry.exec = unescapeValue(group.value(QStringLiteral("Exec")));
    entry.icon = unescapeValue(localisedValue(group, QStringLiteral("Icon")));
    entry.mimeTypes = listValue(group.value(QStringLiteral("MimeType")));
    if (shown)
        *shown = isShown(group);
    return entry.exec.isEmpty() ? DesktopApplications::Entry() : entry;
}

struct Candidate
{
    DesktopApplications::Entry entry;
    bool shown = false;
};

// The applications for a type, most preferred first: the defaults of the mimeapps.list files, then
// their added associations, then the entries declaring the type. A removed association hides the
// application from the added associations of less important files and from the declarations in its
// own folder and the later ones; a default is the user's choice and stays.
QList<Candidate> candidatesForMIMEType(const QString& type)
{
    const InstalledApplications installed = installedApplications();
    QList<Candidate> found;
    QSet<QString> seen;
    const auto add = [&](const QString& id) {
        const QString path = installed.paths.value(id);
        if (path.isEmpty() || seen.contains(id))
            return;
        bool shown = false;
        const DesktopApplications::Entry entry = readEntry(path, &shown);
        if (!entry.isValid())
            return;
        seen.insert(id);
        found.append({entry, shown});
    };
    const QList<AssociationFile> files = associationFiles();
    for (const AssociationFile& file : files)
        for (const QString& id :
             listValue(readGroup(file.path, QStringLiteral("Default Applications")).value(type)))
            add(id);
    QHash<QString, int> removedFrom; // id -> the first folder whose declarations lose it
    for (const AssociationFile& file : files) {
        for (const QString& id :
             listValue(readGroup(file.path, QStringLiteral("Added Associations")).value(type)))
            if (!removedFrom.contains(id))
                add(id);
        for (const QString& id :
             listValue(readGroup(file.path, QStringLiteral("Removed Associations")).value(type)))
            if (!removedFrom.contains(id))
                removedFrom.insert(id, file.folder);
    }
    for (const QString& id : installed.ids) {
        if (seen.contains(id) ||
            removedFrom.value(id, installed.folders.value(id) + 1) <= installed.folders.value(id))
            continue;
        bool shown = false;
        const DesktopApplications::Entry entry = readEntry(installed.paths.value(id), &shown);
        if (entry.isValid() && entry.mimeTypes.contains(type)) {
            seen.insert(id);
            found.append({entry, shown});
        }
    }
    return found;
}

} // namespace

DesktopApplications::Entry DesktopApplications::entryForDesktopFile(const QString& pathOrId)
{
    if (pathOrId.contains(QLatin1Char('/')))
        return QFileInfo::exists(pathOrId) ? readEntry(pathOrId) : Entry();
    const QString path = installedApplications().paths.value(pathOrId);
    return path.isEmpty() ? Entry() : readEntry(path);
}

QList<DesktopApplications::Entry> DesktopApplications::applicationsForMIMEType(const QString& MIMEType)
{
    QList<Entry> shown;
    for (const Candidate& candidate : candidatesForMIMEType(MIMEType))
        if (candidate.shown)
            shown.append(candidate.entry);
    return shown;
}

DesktopApplications::Entry DesktopApplications::defaultApplicationForMIMEType(const QString& MIMEType)
{
    const QList<Candidate> all = candidatesForMIMEType(MIMEType);
    return all.isEmpty() ? Entry() : all.first().entry;
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
