#include "app/LaunchCommand.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

struct ArgumentsRow
{
    const char* name;
    QStringList arguments;
    std::optional<LaunchCommand::Verb> verb; // nothing: refused
    QStringList files;                       // relative to the working folder
};

TEST(LaunchCommand, ReadsVerbsFilesAndOptionsFromTheCommandLine)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile existing(folder.filePath(QStringLiteral("report.pdf")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    using Verb = LaunchCommand::Verb;
    const QList<ArgumentsRow> rows{
        {"nothing activates", {}, Verb::Activate, {}},
        {"service option is skipped", {"--service", "http://127.0.0.1:9"}, Verb::Activate, {}},
        {"service option with equals", {"--service=http://127.0.0.1:9", "quit"}, Verb::Quit, {}},
        {"upload two files", {"upload", "a.pdf", "sub/b.txt"}, Verb::Upload, {"a.pdf", "sub/b.txt"}},
        {"upload and share", {"upload-and-share", "a.pdf"}, Verb::UploadAndShare, {"a.pdf"}},
        {"get link", {"--sign-in-without-browser", "get-link", "a.pdf"}, Verb::GetLink, {"a.pdf"}},
        {"an existing file alone opens", {"report.pdf"}, Verb::Open, {"report.pdf"}},
        {"a name after -- is a file", {"open", "--", "--odd"}, Verb::Open, {"--odd"}},
        {"Qt's own option with its value", {"-platform", "offscreen", "activate"}, Verb::Activate, {}},
        {"upload without files", {"upload"}, std::nullopt, {}},
        {"quit with files", {"quit", "a.pdf"}, std::nullopt, {}},
        {"unknown verb", {"frobnicate"}, std::nullopt, {}},
        {"unknown option", {"--frobnicate"}, std::nullopt, {}},
    };
    for (const ArgumentsRow& row : rows) {
        SCOPED_TRACE(row.name);
        QString error;
        const auto command = LaunchCommand::fromArguments(
            QStringList{QStringLiteral("tavrel")} + row.arguments, folder.path(), &error);
        ASSERT_EQ(command.has_value(), row.verb.has_value()) << error.toStdString();
        if (!command) {
            EXPECT_FALSE(error.isEmpty());
            continue;
        }
        EXPECT_EQ(command->verb(), *row.verb);
        QStringList expected;
        for (const QString& file : row.files)
            expected.append(QDir::cleanPath(QDir(folder.path()).absoluteFilePath(file)));
        EXPECT_EQ(command->files(), expected);
    }
}

TEST(LaunchCommand, ARestartKeepsTheOptionsButNotTheCommandOrItsFiles)
{
    const struct
    {
        const char* name;
        QStringList arguments;
        QStringList options;
    } rows[] = {
        {"nothing", {}, {}},
        {"service and sign-in options before an upload",
         {"--service", "http://127.0.0.1:9", "--sign-in-without-browser", "upload", "a.pdf"},
         {"--service", "http://127.0.0.1:9", "--sign-in-without-browser"}},
        {"service with equals and a file to open",
         {"--service=http://127.0.0.1:9", "report.pdf"},
         {"--service=http://127.0.0.1:9"}},
        {"Qt's own option keeps its value", {"-platform", "offscreen", "quit"}, {"-platform", "offscreen"}},
        {"names after -- are files", {"open", "--", "--odd"}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(LaunchCommand::optionArguments(QStringList{QStringLiteral("tavrel")} + row.arguments),
                  row.options);
    }
}

TEST(LaunchCommand, TravelsAsOneLineAndRefusesWhatIsNoCommand)
{
    const LaunchCommand upload(LaunchCommand::Verb::Upload,
                               {QStringLiteral("/tmp/a b.pdf"), QStringLiteral("/tmp/ç.txt")});
    const QByteArray line = upload.encoded();
    EXPECT_TRUE(line.endsWith('\n'));
    EXPECT_EQ(line.count('\n'), 1);
    EXPECT_EQ(LaunchCommand::decoded(line), upload);

    const QList<QByteArray> refused{
        "not json\n",
        R"({"verb":"explode","files":[]})",
        R"({"verb":"upload","files":["relative.pdf"]})",
        R"({"verb":"upload","files":[]})",
        R"({"verb":"quit","files":["/tmp/a"]})",
    };
    for (const QByteArray& bad : refused)
        EXPECT_FALSE(LaunchCommand::decoded(bad).has_value()) << bad.constData();
}

} // namespace
} // namespace tavrel
