#include "model/TQPreferencesManager.h"

#include "platform/system/Settings.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace tavrel::test {

namespace {

class TQPreferencesManagerTest : public TempHomeTest
{
protected:
    TQPreferencesManager& preferences() { return *TQPreferencesManager::sharedManager(); }
    static QStringList ids(int from, int to) // "id<from>" ... "id<to>"
    {
        QStringList list;
        for (int i = from; i <= to; ++i)
            list << QStringLiteral("id%1").arg(i);
        return list;
    }
};

} // namespace

TEST_F(TQPreferencesManagerTest, RecentsAreNewestFirstWithoutDuplicatesAndAtMostFifty)
{
    EXPECT_TRUE(preferences().allRecents().isEmpty());
    for (const QString& id : ids(1, 3))
        preferences().addRecent(id);
    EXPECT_EQ(preferences().allRecents(), (QStringList{"id3", "id2", "id1"}));

    preferences().addRecent(QStringLiteral("id1"));
    EXPECT_EQ(preferences().allRecents(), (QStringList{"id1", "id3", "id2"}))
        << "moved to the front, not added";
    preferences().addRecent(QString());
    EXPECT_EQ(preferences().allRecents().size(), 3);

    preferences().removeRecents({QStringLiteral("unknown")});
    EXPECT_EQ(preferences().allRecents(), (QStringList{"id1", "id3", "id2"}));
    preferences().removeRecents({QStringLiteral("id3"), QStringLiteral("id2")});
    EXPECT_EQ(preferences().allRecents(), QStringList{"id1"});

    preferences().resetRecents();
    for (const QString& id : ids(1, 51))
        preferences().addRecent(id);
    const QStringList recents = preferences().allRecents();
    ASSERT_EQ(recents.size(), 50);
    EXPECT_EQ(recents.first(), QStringLiteral("id51"));
    EXPECT_EQ(recents.last(), QStringLiteral("id2")) << "the oldest was dropped";
}

TEST_F(TQPreferencesManagerTest, AStoredListLongerThanFiftyIsTrimmed)
{
    Settings::setValue(TQPreferencesManager::kRecentFilesKey, ids(1, 60));
    EXPECT_EQ(preferences().allRecents(), ids(1, 50));
    preferences().addRecent(QStringLiteral("new"));
    const QStringList stored = Settings::stringListValue(TQPreferencesManager::kRecentFilesKey);
    ASSERT_EQ(stored.size(), 50);
    EXPECT_EQ(stored.first(), QStringLiteral("new"));
    EXPECT_EQ(stored.last(), QStringLiteral("id49"));
}

TEST_F(TQPreferencesManagerTest, LastUpdateIsStoredAsIso8601AndOlderTextIsStillRead)
{
    EXPECT_FALSE(preferences().lastUpdate().isValid());
    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7, 890), Qt::UTC);
    preferences().setLastUpdate(when);
    EXPECT_EQ(Settings::stringValue(TQPreferencesManager::kLastUpdateKey),
              QStringLiteral("2026-03-04T05:06:07.890Z"));
    EXPECT_EQ(preferences().lastUpdate(), when);

    const struct
    {
        const char* stored;
        QDateTime expected;
    } rows[] = {
        {"2026-03-04 06:06:07 +0100", QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7), Qt::UTC)},
        {"2026-03-04T05:06:07Z", QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7), Qt::UTC)},
        {"yesterday-ish", QDateTime()},
        {"", QDateTime()},
    };
    for (const auto& row : rows) {
        Settings::setValue(TQPreferencesManager::kLastUpdateKey, QString::fromLatin1(row.stored));
        EXPECT_EQ(preferences().lastUpdate(), row.expected) << row.stored;
    }
    // What the locale itself writes reads back too.
    const QDateTime local(QDate(2025, 11, 2), QTime(14, 30, 0));
    Settings::setValue(TQPreferencesManager::kLastUpdateKey, QLocale().toString(local, QLocale::LongFormat));
    EXPECT_EQ(preferences().lastUpdate(), local.toUTC());

    preferences().setLastUpdate(QDateTime());
    EXPECT_FALSE(preferences().lastUpdate().isValid());
}

TEST_F(TQPreferencesManagerTest, SettingsReadTheirDefaultsAndNullRemoves)
{
    EXPECT_EQ(preferences().applicationLaunchPolicy(), 0);
    EXPECT_FALSE(preferences().hiddenFilesInFolder());
    EXPECT_TRUE(preferences().applicationsSuite().isNull());
    EXPECT_TRUE(preferences().downloadsBookmark().isNull());
    EXPECT_TRUE(preferences().documentsAppURL().isEmpty());

    preferences().setApplicationLaunchPolicy(1);
    preferences().setHiddenFilesInFolder(true);
    preferences().setApplicationsSuite(QStringLiteral("office"));
    preferences().setDownloadsBookmark(QByteArray("bookmark"));
    preferences().setDrawingsAppURL(
        QUrl::fromLocalFile(QStringLiteral("/usr/share/applications/draw.desktop")));
    preferences().setLastVersion(QStringLiteral("1.2"));
    EXPECT_EQ(preferences().applicationLaunchPolicy(), 1);
    EXPECT_TRUE(preferences().hiddenFilesInFolder());
    EXPECT_EQ(preferences().applicationsSuite(), QStringLiteral("office"));
    EXPECT_EQ(preferences().downloadsBookmark(), QByteArray("bookmark"));
    EXPECT_EQ(preferences().drawingsAppURL().toLocalFile(),
              QStringLiteral("/usr/share/applications/draw.desktop"));
    EXPECT_EQ(preferences().lastVersion(), QStringLiteral("1.2"));

    preferences().setApplicationsSuite(QString());
    preferences().setDownloadsBookmark(QByteArray());
    preferences().setDrawingsAppURL(QUrl());
    EXPECT_FALSE(Settings::value(TQPreferencesManager::kAppSuiteKey).isValid());
    EXPECT_FALSE(Settings::value(TQPreferencesManager::kDownloadsBookmarkKey).isValid());
    EXPECT_FALSE(Settings::value(TQPreferencesManager::kDrawingsAppURLKey).isValid());
}

TEST_F(TQPreferencesManagerTest, TransientValuesLiveInMemoryOnly)
{
    preferences().setTransientValue(QStringLiteral("1"), TQPreferencesManager::kTQFirstLaunchKey);
    EXPECT_EQ(preferences().transientValueForKey(TQPreferencesManager::kTQFirstLaunchKey).toString(),
              QStringLiteral("1"));
    EXPECT_FALSE(Settings::value(TQPreferencesManager::kTQFirstLaunchKey).isValid());
    preferences().setTransientValue(QVariant(), TQPreferencesManager::kTQFirstLaunchKey);
    EXPECT_FALSE(preferences().transientValueForKey(TQPreferencesManager::kTQFirstLaunchKey).isValid());
}

} // namespace tavrel::test
