#include "platform/system/DamagedFiles.h"

#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace tavrel::test {

namespace {
class DamagedFilesTest : public TempHomeTest
{
protected:
    QString path(const QString& name) { return QDir(home().path()).filePath(name); }
    static void write(const QString& path, const QByteArray& contents)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    static QByteArray read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    const QStringList journal{QStringLiteral("-wal"), QStringLiteral("-shm")};
};
} // namespace

TEST_F(DamagedFilesTest, MovesTheFileAndTheCompanionsThatExistUnderOneStampedName)
{
    const QString store = path(QStringLiteral("store.sqlite"));
    write(store, "damaged");
    write(store + QStringLiteral("-wal"), "journal");

    const QString aside = DamagedFiles::moveAside(store, journal);
    EXPECT_TRUE(QRegularExpression(
                    QStringLiteral("^%1\\.corrupt-\\d{8}-\\d{6}$").arg(QRegularExpression::escape(store)))
                    .match(aside)
                    .hasMatch())
        << aside.toStdString();
    EXPECT_EQ(read(aside), "damaged");
    EXPECT_EQ(read(aside + QStringLiteral("-wal")), "journal");
    EXPECT_FALSE(QFileInfo::exists(aside + QStringLiteral("-shm")));
    // Nothing of the old store is left where a fresh one opens.
    for (const QString& left : {store, store + QStringLiteral("-wal"), store + QStringLiteral("-shm")})
        EXPECT_FALSE(QFileInfo::exists(left)) << left.toStdString();
}

TEST_F(DamagedFilesTest, ASecondDamagedFileInTheSameSecondKeepsTheFirstAndItsJournal)
{
    const QString store = path(QStringLiteral("store.sqlite"));
    write(store, "first");
    write(store + QStringLiteral("-shm"), "first index");
    const QString first = DamagedFiles::moveAside(store, journal);
    ASSERT_FALSE(first.isEmpty());
    // The next one is taken aside before the clock moves on: a new name, and the first stays whole.
    write(store, "second");
    write(store + QStringLiteral("-shm"), "second index");
    const QString second = DamagedFiles::moveAside(store, journal);
    ASSERT_FALSE(second.isEmpty());
    EXPECT_NE(second, first);
    EXPECT_EQ(read(first), "first");
    EXPECT_EQ(read(first + QStringLiteral("-shm")), "first index");
    EXPECT_EQ(read(second), "second");
    EXPECT_EQ(read(second + QStringLiteral("-shm")), "second index");
}

TEST_F(DamagedFilesTest, AFileThatCannotMoveAnswersNothingAndLeavesItsCompanions)
{
    const QString missing = path(QStringLiteral("missing.sqlite"));
    write(missing + QStringLiteral("-wal"), "journal");
    EXPECT_TRUE(DamagedFiles::moveAside(missing, journal).isEmpty());
    EXPECT_EQ(read(missing + QStringLiteral("-wal")), "journal");
    EXPECT_TRUE(DamagedFiles::moveAside(QString()).isEmpty());

    // Without companions asked for, only the file moves (an accounts archive).
    const QString archive = path(QStringLiteral("accounts.json"));
    write(archive, "{");
    write(archive + QStringLiteral("-wal"), "not ours");
    const QString aside = DamagedFiles::moveAside(archive);
    EXPECT_EQ(read(aside), "{");
    EXPECT_EQ(read(archive + QStringLiteral("-wal")), "not ours");
}

} // namespace tavrel::test
