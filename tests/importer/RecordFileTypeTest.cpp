#include "platform/store/ExternalRecord.h"
#include "platform/system/Paths.h"
#include "support/TestData.h"

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <gtest/gtest.h>

namespace tavrel::test {

TEST(RecordFileType, DesktopKnowsRecordFilesByTheirExtensionOnceTheEntryIsInstalled)
{
    // Installed as a desktop installs it: into the user's data folder, then the database rebuilt.
    const QString mime = Paths::dataHome() + QStringLiteral("/mime");
    ASSERT_TRUE(QDir().mkpath(mime + QStringLiteral("/packages")));
    const QString entry = testDataDir() + QStringLiteral("/../../resources/mime/tavrel-record.xml");
    ASSERT_TRUE(QFile::copy(entry, mime + QStringLiteral("/packages/tavrel-record.xml")))
        << entry.toStdString();
    QProcess update;
    update.start(QStringLiteral("update-mime-database"), {mime});
    ASSERT_TRUE(update.waitForFinished(60000));
    EXPECT_EQ(update.exitCode(), 0) << update.readAllStandardError().toStdString();

    const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("/records/Budget.tavrel"),
                                                           QMimeDatabase::MatchExtension);
    EXPECT_EQ(type.name(), QStringLiteral("application/x-tavrel-record"));
    EXPECT_TRUE(type.inherits(QStringLiteral("application/json")));
    EXPECT_EQ(type.suffixes(), QStringList{QString::fromLatin1(ExternalRecord::kFileExtension)});
}

} // namespace tavrel::test
