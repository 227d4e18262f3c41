#include "platform/system/Settings.h"

#include "platform/system/Paths.h"
#include "support/TempHome.h"
#include "support/Unreadable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <gtest/gtest.h>

namespace tavrel::test {

using SettingsTest = TempHomeTest;

TEST_F(SettingsTest, StoredValuesWinOverRegisteredDefaultsAndLiveInTheHome)
{
    EXPECT_TRUE(Settings::registeredDefaults().contains(QStringLiteral("launchPolicy")));
    EXPECT_EQ(Settings::integerValue(QStringLiteral("launchPolicy")), 0);
    Settings::setValue(QStringLiteral("launchPolicy"), 1);
    EXPECT_EQ(Settings::integerValue(QStringLiteral("launchPolicy")), 1);
    ASSERT_TRUE(Paths::settingsFile().startsWith(home().path()));
    EXPECT_TRUE(QFile::exists(Paths::settingsFile()));
    Settings::remove(QStringLiteral("launchPolicy"));
    EXPECT_EQ(Settings::integerValue(QStringLiteral("launchPolicy")), 0);

    Settings::registerDefaults({{QStringLiteral("testOnlyDefault"), QStringLiteral("d")}});
    EXPECT_EQ(Settings::stringValue(QStringLiteral("testOnlyDefault")), QStringLiteral("d"));
}

TEST_F(SettingsTest, ValuesOfTheWrongTypeReadAsNothing)
{
    Settings::setValue(QStringLiteral("number"), QStringLiteral("not a number"));
    Settings::setValue(QStringLiteral("data"), QStringLiteral("text"));
    Settings::setValue(QStringLiteral("url"), 5);
    Settings::setValue(QStringLiteral("flag"), QStringLiteral("maybe"));
    EXPECT_EQ(Settings::integerValue(QStringLiteral("number")), 0);
    EXPECT_TRUE(Settings::dataValue(QStringLiteral("data")).isNull());
    EXPECT_TRUE(Settings::urlValue(QStringLiteral("url")).isEmpty());
    EXPECT_FALSE(Settings::boolValue(QStringLiteral("flag")));
    EXPECT_TRUE(Settings::stringValue(QStringLiteral("missing")).isNull());
    EXPECT_FALSE(Settings::value(QStringLiteral("missing")).isValid());
}

TEST_F(SettingsTest, TypedValuesRoundTripThroughTheFile)
{
    const QByteArray data("\x00\x01bookmark", 10);
    Settings::setValue(QStringLiteral("data"), data);
    Settings::setValue(QStringLiteral("flag"), true);
    Settings::setValue(QStringLiteral("list"), QStringList{QStringLiteral("one")});
    Settings::setValue(QStringLiteral("list2"), QStringList{QStringLiteral("a"), QStringLiteral("b, c")});
    Settings::setUrlValue(QStringLiteral("url"), QUrl::fromLocalFile(QStringLiteral("/usr/bin/app")));
    EXPECT_EQ(Settings::dataValue(QStringLiteral("data")), data);
    EXPECT_TRUE(Settings::boolValue(QStringLiteral("flag")));
    EXPECT_EQ(Settings::stringListValue(QStringLiteral("list")), QStringList{QStringLiteral("one")});
    EXPECT_EQ(Settings::stringListValue(QStringLiteral("list2")),
              (QStringList{QStringLiteral("a"), QStringLiteral("b, c")}));
    EXPECT_EQ(Settings::urlValue(QStringLiteral("url")), QUrl::fromLocalFile(QStringLiteral("/usr/bin/app")));
}

TEST_F(SettingsTest, IntegersOutOfRangeOrNoNumbersReadAsTheKeysDefault)
{
    Settings::registerDefaults({{QStringLiteral("testOnlyCount"), 7}});
    const struct
    {
        const char* stored;
        qint64 expected; // launchPolicy's default is 0
    } rows[] = {
        {"1e300", 0},
        {"-1e300", 0},
        {"nan", 0},
        {"inf", 0},
        {"9.3e18", 0},
        {"abc", 0},
        {"2.9", 2},
        {"-2.5", -2},
        {" 12 ", 12},
        {"9223372036854775807", 9223372036854775807},
        {"1e18", 1000000000000000000},
    };
    for (const auto& row : rows) {
        Settings::setValue(QStringLiteral("launchPolicy"), QString::fromLatin1(row.stored));
        EXPECT_EQ(Settings::integerValue(QStringLiteral("launchPolicy")), row.expected) << row.stored;
        Settings::setValue(QStringLiteral("testOnlyCount"), QString::fromLatin1(row.stored));
        EXPECT_EQ(Settings::integerValue(QStringLiteral("testOnlyCount")),
                  row.expected == 0 ? 7 : row.expected)
            << row.stored;
    }
}

// Qt's own reader hands "@Variant(...)" to a binary reader that allocates whatever length it claims (this
// list claims 3.7 thousand million items): such values are not read, and the other keys keep theirs.
TEST_F(SettingsTest, SerialisedVariantsAreNotReadAndCostTheOtherKeysNothing)
{
    QDir().mkpath(QFileInfo(Paths::settingsFile()).absolutePath());
    QFile file(Paths::settingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\n"
               "launchPolicy=3\n"
               "=@Variant(\\0\\0\\0\\t\\xdd\\xdd\\xdd\\xdd)\n"
               "hidden=@Variant(\\0\\0\\0\\t\\xdd\\xdd\\xdd\\xdd)\n"
               "when=@DateTime(\\0\\0\\0\\0\\0%\\x7f\\x8b\\0\\0\\0\\0\\0\\x1)\n"
               "list=a, @Variant(\\0\\0\\0\\t\\xdd\\xdd\\xdd\\xdd)\n"
               "bookmark=@ByteArray(b\\0m)\n"
               "recent=one, two\n");
    file.close();

    EXPECT_EQ(Settings::integerValue(QStringLiteral("launchPolicy")), 3);
    for (const char* key : {"hidden", "when", "list"})
        EXPECT_FALSE(Settings::value(QString::fromLatin1(key)).isValid()) << key;
    EXPECT_EQ(Settings::dataValue(QStringLiteral("bookmark")), QByteArray("b\0m", 3));
    EXPECT_EQ(Settings::stringListValue(QStringLiteral("recent")), (QStringList{"one", "two"}));

    Settings::setValue(QStringLiteral("flag"), true);
    EXPECT_EQ(Settings::integerValue(QStringLiteral("launchPolicy")), 3);
    EXPECT_EQ(Settings::dataValue(QStringLiteral("bookmark")), QByteArray("b\0m", 3));
    EXPECT_EQ(Settings::stringListValue(QStringLiteral("recent")), (QStringList{"one", "two"}));
    EXPECT_TRUE(Settings::boolValue(QStringLiteral("flag")));
}

// Files written by Qt's own INI writer (older runs, hand-made test homes) read as they always did.
TEST_F(SettingsTest, FilesWrittenByQtReadAlike)
{
    {
        QSettings qt(Paths::settingsFile(), QSettings::IniFormat);
        qt.setValue(QStringLiteral("serviceURL"), QStringLiteral("http://127.0.0.1:7001/"));
        qt.setValue(QStringLiteral("text"), QStringLiteral(" spaced; \"quoted\", \\ \t\n\u00e9\u65e5 @at"));
        qt.setValue(QStringLiteral("list"),
                    QStringList{QStringLiteral("a, b"), QStringLiteral(""), QStringLiteral("@c")});
        qt.setValue(QStringLiteral("bytes"), QByteArray("\0\x01\xff\x80z", 5));
        qt.setValue(QStringLiteral("group/key with/slash"), 12);
        qt.setValue(QStringLiteral("General/x"), QStringLiteral("in a group called General"));
    }
    EXPECT_EQ(Settings::stringValue(QStringLiteral("serviceURL")), QStringLiteral("http://127.0.0.1:7001/"));
    EXPECT_EQ(Settings::stringValue(QStringLiteral("text")),
              QStringLiteral(" spaced; \"quoted\", \\ \t\n\u00e9\u65e5 @at"));
    EXPECT_EQ(Settings::stringListValue(QStringLiteral("list")),
              (QStringList{QStringLiteral("a, b"), QStringLiteral(""), QStringLiteral("@c")}));
    EXPECT_EQ(Settings::dataValue(QStringLiteral("bytes")), QByteArray("\0\x01\xff\x80z", 5));
    EXPECT_EQ(Settings::integerValue(QStringLiteral("group/key with/slash")), 12);
    EXPECT_EQ(Settings::stringValue(QStringLiteral("General/x")),
              QStringLiteral("in a group called General"));
}

// A file that cannot be read is never rewritten (only the value written would be left): the values
// read are the defaults, and what is written meanwhile is kept for the rest of the run.
TEST_F(SettingsTest, AFileThatCannotBeReadIsReportedAndLeftAsItIs)
{
    const struct
    {
        const char* name;
        QFile::Permissions permissions;
    } rows[] = {{"no permissions", {}}, {"write only", QFile::WriteOwner}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempHome rowHome;
        Settings::setValue(QStringLiteral("TQlargestChangestamp") + QStringLiteral("ann@x.test"), 41);
        Settings::setValue(QStringLiteral("launchPolicy"), 1);
        const QByteArray written = [] {
            QFile file(Paths::settingsFile());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        ASSERT_FALSE(written.isEmpty());
        EXPECT_TRUE(Settings::fileProblem().isEmpty());
        {
            Unreadable unreadable(Paths::settingsFile(), row.permissions);
            EXPECT_FALSE(Settings::fileProblem().isEmpty());
            EXPECT_EQ(Settings::integerValue(QStringLiteral("launchPolicy")), 0) << "the default";
            Settings::setValue(QStringLiteral("launchPolicy"), 2);
            Settings::setValue(QStringLiteral("TQlargestChangestampbob@x.test"), 7);
            EXPECT_EQ(Settings::integerValue(QStringLiteral("launchPolicy")), 2);
            EXPECT_EQ(Settings::integerValue(QStringLiteral("TQlargestChangestampbob@x.test")), 7);
        }
        QFile file(Paths::settingsFile());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), written) << "the file is as it was";
        EXPECT_EQ(Settings::integerValue(QStringLiteral("TQlargestChangestampann@x.test")), 41);
        EXPECT_TRUE(Settings::fileProblem().isEmpty());
    }
}

} // namespace tavrel::test
