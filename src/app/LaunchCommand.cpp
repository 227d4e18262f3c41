#include "app/LaunchCommand.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tavrel {

namespace {

struct VerbRow
{
    LaunchCommand::Verb verb;
    const char* name;
    bool takesFiles;
};

constexpr VerbRow kVerbs[] = {
    {LaunchCommand::Verb::Activate, "activate", false},
    {LaunchCommand::Verb::Open, "open", true},
    {LaunchCommand::Verb::Upload, "upload", true},
    {LaunchCommand::Verb::UploadAndShare, "upload-and-share", true},
    {LaunchCommand::Verb::GetLink, "get-link", true},
    {LaunchCommand::Verb::Quit, "quit", false},
};

// Qt's own options that take a value (QGuiApplication reads them from the same command line).
const QStringList& qtOptionsWithValue()
{
    static const QStringList options{
        QStringLiteral("-platform"),      QStringLiteral("-platformpluginpath"),
        QStringLiteral("-platformtheme"), QStringLiteral("-plugin"),
        QStringLiteral("-qmljsdebugger"), QStringLiteral("-qwindowgeometry"),
        QStringLiteral("-geometry"),      QStringLiteral("-qwindowtitle"),
        QStringLiteral("-title"),         QStringLiteral("-qwindowicon"),
        QStringLiteral("-icon"),          QStringLiteral("-display"),
        QStringLiteral("-style"),         QStringLiteral("-stylesheet"),
        QStringLiteral("-session"),
    };
    return options;
}

} // namespace

QString LaunchCommand::nameOfVerb(Verb verb)
{
    for (const VerbRow& row : kVerbs)
        if (row.verb == verb)
            return QString::fromLatin1(row.name);
    return {};
}

std::optional<LaunchCommand::Verb> LaunchCommand::verbNamed(const QString& name)
{
    for (const VerbRow& row : kVerbs)
        if (name == QLatin1String(row.name))
            return row.verb;
    return std::nullopt;
}

bool LaunchCommand::verbTakesFiles(Verb verb)
{
    for (const VerbRow& row : kVerbs)
        if (row.verb == verb)
            return row.takesFiles;
    return false;
}

QString LaunchCommand::usage()
{
    return QStringLiteral(
        "Usage: tavrel [--service URL] [--sign-in-without-browser] [COMMAND [FILE ...]]\n"
        "\n"
        "Commands (handed to the running Tavrel when there is one):\n"
        "  activate                 show the main window (the default)\n"
        "  open FILE...             open record files, upload any other files and folders\n"
        "  upload FILE...           upload files and folders\n"
        "  upload-and-share FILE... upload, then share them\n"
        "  get-link FILE...         upload, then copy a link to them\n"
        "  quit                     quit the running Tavrel\n"
        "\n"
        "Options:\n"
        "  --service URL            the service to sign in to\n"
        "  --sign-in-without-browser  follow the sign-in page without a browser (local service only)\n");
}

std::optional<LaunchCommand> LaunchCommand::fromArguments(const QStringList& arguments,
                                                          const QString& workingDirectory, QString* error)
{
    const auto fail = [error](const QString& reason) -> std::optional<LaunchCommand> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    QStringList words;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && argument.startsWith(QLatin1Char('-'))) {
            if (argument == kServiceOption || qtOptionsWithValue().contains(argument))
                ++i;
            else if (argument != kSignInWithoutBrowserOption &&
                     !argument.startsWith(kServiceOption + QLatin1Char('=')) &&
                     !qtOptionsWithValue().contains(argument.section(QLatin1Char('='), 0, 0)) &&
                     argument != QLatin1String("-reverse"))
                return fail(QStringLiteral("unknown option %1").arg(argument));
            continue;
        }
        words.append(argument);
    }

    LaunchCommand command;
    if (!words.isEmpty()) {
        if (const std::optional<Verb> verb = verbNamed(words.first())) {
            command.m_verb = *verb;
            words.removeFirst();
        } else if (QFileInfo::exists(QDir(workingDirectory).absoluteFilePath(words.first()))) {
            command.m_verb = Verb::Open;
        } else {
            return fail(QStringLiteral("unknown command %1").arg(words.first()));
        }
    }
    if (verbTakesFiles(command.m_verb) && words.isEmpty())
        return fail(QStringLiteral("%1 needs at least one file").arg(nameOfVerb(command.m_verb)));
    if (!verbTakesFiles(command.m_verb) && !words.isEmpty())
        return fail(QStringLiteral("%1 takes no files").arg(nameOfVerb(command.m_verb)));
    const QDir base(workingDirectory);
    for (const QString& word : std::as_const(words))
        command.m_files.append(QDir::cleanPath(base.absoluteFilePath(word)));
    return command;
}

QStringList LaunchCommand::optionArguments(const QStringList& arguments)
{
    QStringList options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--"))
            break;
        if (!argument.startsWith(QLatin1Char('-')))
            continue;
        options.append(argument);
        if ((argument == kServiceOption || qtOptionsWithValue().contains(argument)) &&
            i + 1 < arguments.size())
            options.append(arguments.at(++i));
    }
    return options;
}

QByteArray LaunchCommand::encoded() const
{
    QJsonObject object;
    object.insert(QStringLiteral("verb"), nameOfVerb(m_verb));
    object.insert(QStringLiteral("files"), QJsonArray::fromStringList(m_files));
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<LaunchCommand> LaunchCommand::decoded(const QByteArray& line)
{
    const QJsonDocument document = QJsonDocument::fromJson(line.trimmed());
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const std::optional<Verb> verb = verbNamed(object.value(QStringLiteral("verb")).toString());
    if (!verb)
        return std::nullopt;
    LaunchCommand command;
    command.m_verb = *verb;
    for (const QJsonValue& file : object.value(QStringLiteral("files")).toArray()) {
        // Only absolute paths travel: a relative one would be read against the wrong folder.
        const QString path = file.toString();
        if (path.isEmpty() || !QDir::isAbsolutePath(path))
            return std::nullopt;
        command.m_files.append(path);
    }
    if (verbTakesFiles(*verb) == command.m_files.isEmpty())
        return std::nullopt;
    return command;
}

} // namespace tavrel
