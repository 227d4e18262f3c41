#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace tavrel {

// What one start of the program asks of the running instance: a verb and the files it names.
//
//     tavrel [--service URL] [--sign-in-without-browser] [VERB [FILE ...]]
//
// Verbs: activate (the default), open FILES, upload FILES, upload-and-share FILES, get-link FILES,
// quit. Files given without a verb are opened. Files are made absolute against the working folder of
// the start that names them, since the running instance has its own.
class LaunchCommand
{
public:
    enum class Verb { Activate, Open, Upload, UploadAndShare, GetLink, Quit };

    static inline const QString kServiceOption = QStringLiteral("--service");
    static inline const QString kSignInWithoutBrowserOption = QStringLiteral("--sign-in-without-browser");

    LaunchCommand() = default;
    LaunchCommand(Verb verb, QStringList files) : m_verb(verb), m_files(std::move(files)) {}

    // The command of the program's arguments (the first, the program, is skipped; options of Qt's own
    // and ours are passed over). Nothing, and the reason, for an unknown verb, a verb that needs files
    // without any, or files after a verb that takes none.
    static std::optional<LaunchCommand> fromArguments(const QStringList& arguments,
                                                      const QString& workingDirectory, QString* error);
    // The options of the program's arguments with their values, without the program, the verb and the
    // files: what a restart passes on, so that a command of this start is not run twice.
    static QStringList optionArguments(const QStringList& arguments);
    // The usage text printed for --help and after a wrong command line.
    static QString usage();

    Verb verb() const { return m_verb; }
    const QStringList& files() const { return m_files; }
    static QString nameOfVerb(Verb verb);
    static std::optional<Verb> verbNamed(const QString& name);
    static bool verbTakesFiles(Verb verb);

    // One line of JSON ({"verb": ..., "files": [...]}), as the instance channel carries it.
    QByteArray encoded() const;
    // Nothing for a line that is not a command.
    static std::optional<LaunchCommand> decoded(const QByteArray& line);

    bool operator==(const LaunchCommand& other) const
    {
        return m_verb == other.m_verb && m_files == other.m_files;
    }

private:
    Verb m_verb = Verb::Activate;
    QStringList m_files;
};

} // namespace tavrel
