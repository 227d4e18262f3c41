#include "ImporterFixture.h"

#include <QProcess>

namespace tavrel::test {

TEST_F(ImporterTest, HostPrintsTheAttributesAsJsonAndAnswersByItsExitStatus)
{
    const QString document =
        writeRecord(QStringLiteral("doc.tavrel"), QStringLiteral("File"), QStringLiteral("doc-budget"));
    const QString collection = writeRecord(QStringLiteral("folder.tavrel"), QStringLiteral("Category"),
                                           QStringLiteral("folder-projects"));
    const QString title = QString::fromUtf8(kTitle);
    const struct
    {
        const char* name;
        QStringList arguments;
        int exitCode;
        QJsonObject printed;
        const char* error = "";
    } rows[] = {
        {"document",
         {document},
         0,
         QJsonObject{{QStringLiteral("displayName"), QStringLiteral("Tavrel: ") + title},
                     {QStringLiteral("textContent"), title}}},
        {"document with its content type",
         {document, QStringLiteral(IMPORTER_RECORD_CONTENT_TYPE)},
         0,
         QJsonObject{{QStringLiteral("displayName"), QStringLiteral("Tavrel: ") + title},
                     {QStringLiteral("textContent"), title}}},
        {"collection", {collection}, 0, QJsonObject{}},
        {"another content type", {document, QStringLiteral("public.plain-text")}, 1, QJsonObject{}},
        {"unresolvable record", {path(QStringLiteral("missing.tavrel"))}, 1, QJsonObject{}},
        {"no file", {}, 2, QJsonObject{}, "Usage: tavrel-importer FILE [CONTENT-TYPE]"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QProcess host;
        host.start(QDir(importerBuildDir()).filePath(QStringLiteral("tavrel-importer")), row.arguments);
        ASSERT_TRUE(host.waitForFinished(30000));
        EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(host.exitCode(), row.exitCode);
        const QByteArray output = host.readAllStandardOutput();
        if (row.exitCode != 2) {
            QJsonParseError error;
            const QJsonDocument json = QJsonDocument::fromJson(output, &error);
            EXPECT_EQ(error.error, QJsonParseError::NoError) << output.toStdString();
            EXPECT_EQ(json.object(), row.printed) << output.toStdString();
        }
        EXPECT_TRUE(host.readAllStandardError().contains(row.error));
    }
}

} // namespace tavrel::test
