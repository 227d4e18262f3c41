#include "platform/system/Settings.h"

#include "platform/system/Paths.h"
#include "support/TempHome.h"

#include <QFile>
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

} // namespace tavrel::test
