#include "platform/system/TemporaryFiles.h"

#include "platform/system/Paths.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace tavrel::test {

using TemporaryFilesTest = TempHomeTest;

namespace {
void writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
}
} // namespace

TEST_F(TemporaryFilesTest, MakesUniqueFilesAndFoldersInTheTemporaryFolder)
{
    const QUrl a = TemporaryFiles::URLTempUniqueFile();
    const QUrl b = TemporaryFiles::URLTempUniqueFile();
    ASSERT_FALSE(a.isEmpty());
    EXPECT_NE(a, b);
    const QFileInfo info(a.toLocalFile());
    EXPECT_TRUE(info.isFile());
    EXPECT_EQ(info.size(), 0);
    EXPECT_EQ(info.absolutePath(), QDir(Paths::tempFolder()).absolutePath());
    EXPECT_TRUE(info.fileName().startsWith(QStringLiteral("tavrel.")));
    EXPECT_EQ(info.fileName().size(), 13);

    QFile::remove(a.toLocalFile());
    QFile::remove(b.toLocalFile());

    // The answered name itself is reserved, and removing it leaves the folder as it was.
    const QStringList before = QDir(Paths::tempFolder()).entryList(QDir::Files);
    const QUrl withExtension = TemporaryFiles::URLTempUniqueFileWithExtension(QStringLiteral("pdf"));
    const QUrl another = TemporaryFiles::URLTempUniqueFileWithExtension(QStringLiteral("pdf"));
    const QFileInfo reserved(withExtension.toLocalFile());
    EXPECT_TRUE(reserved.isFile());
    EXPECT_EQ(reserved.size(), 0);
    EXPECT_NE(withExtension, another);
    EXPECT_TRUE(reserved.fileName().startsWith(QStringLiteral("tavrel.")));
    EXPECT_TRUE(reserved.fileName().endsWith(QStringLiteral(".pdf")));
    EXPECT_EQ(reserved.fileName().size(), 17);
    QFile::remove(withExtension.toLocalFile());
    QFile::remove(another.toLocalFile());
    EXPECT_EQ(QDir(Paths::tempFolder()).entryList(QDir::Files), before) << "nothing else was made";
    EXPECT_TRUE(TemporaryFiles::URLTempUniqueFileWithExtension(QString()).isEmpty());

    const QUrl folder = TemporaryFiles::URLTempUniqueDirectory();
    const QFileInfo folderInfo(folder.toLocalFile());
    EXPECT_TRUE(folderInfo.isDir());
    EXPECT_TRUE(folderInfo.fileName().startsWith(QStringLiteral("TavrelD.")));
    EXPECT_EQ(folderInfo.permissions() &
                  (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              QFile::Permissions());
}

TEST_F(TemporaryFilesTest, FailuresAnswerNothing)
{
    const QByteArray previous = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(home().path() + QStringLiteral("/no/such/folder")));
    EXPECT_TRUE(TemporaryFiles::URLTempUniqueFile().isEmpty());
    EXPECT_TRUE(TemporaryFiles::URLTempUniqueFileWithExtension(QStringLiteral("txt")).isEmpty());
    EXPECT_TRUE(TemporaryFiles::URLTempUniqueDirectory().isEmpty());
    qputenv("TMPDIR", previous);
    EXPECT_TRUE(TemporaryFiles::fileSystemCopyFileToUniqueURLfromFileAtURL(
                    QUrl::fromLocalFile(home().path() + QStringLiteral("/missing.txt")))
                    .isEmpty());
}

TEST_F(TemporaryFilesTest, CopiesFilesAndFoldersUnderTheirOwnNames)
{
    const QString file = home().path() + QStringLiteral("/Report 1.txt");
    writeFile(file, "report");
    const QUrl copy = TemporaryFiles::fileSystemCopyFileToUniqueURLfromFileAtURL(QUrl::fromLocalFile(file));
    ASSERT_FALSE(copy.isEmpty());
    EXPECT_EQ(QFileInfo(copy.toLocalFile()).fileName(), QStringLiteral("Report 1.txt"));
    EXPECT_TRUE(QFileInfo(copy.toLocalFile()).dir().dirName().startsWith(QStringLiteral("TavrelD.")));
    QFile copied(copy.toLocalFile());
    ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
    EXPECT_EQ(copied.readAll(), QByteArray("report"));

    const QString folder = home().path() + QStringLiteral("/Folder");
    QDir().mkpath(folder + QStringLiteral("/inner"));
    writeFile(folder + QStringLiteral("/inner/a.txt"), "a");
    const QUrl folderCopy =
        TemporaryFiles::fileSystemCopyFileToUniqueURLfromFileAtURL(QUrl::fromLocalFile(folder));
    ASSERT_FALSE(folderCopy.isEmpty());
    EXPECT_TRUE(QFile::exists(folderCopy.toLocalFile() + QStringLiteral("/inner/a.txt")));
}

} // namespace tavrel::test
