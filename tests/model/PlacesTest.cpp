#include "model/TQPlaces.h"
#include "support/TempHome.h"

#include <QSet>
#include <gtest/gtest.h>

namespace tavrel::test {
namespace {

using PlacesTest = TempHomeTest;

TEST_F(PlacesTest, EveryAddressGetsOneFolderOfItsOwnInsideTheSupportFolder)
{
    const QString longLocal = QString(300, QLatin1Char('l')) + QStringLiteral("@tavrel.test");
    struct Row
    {
        QString address;
        bool keptAsItIs; // the folder of an ordinary address stays where stores were always made
    };
    const QList<Row> rows = {
        {QStringLiteral("demo@tavrel.test"), true},
        {QStringLiteral("first.last+tag@tavrel.test"), true},
        {QStringLiteral("jürgen@tavrel.test"), true},
        {QStringLiteral("..x@tavrel.test"), true},
        {QStringLiteral("/"), false},
        {QStringLiteral("."), false},
        {QStringLiteral(".."), false},
        {QStringLiteral("../x"), false},
        {QStringLiteral("../../etc"), false},
        {QStringLiteral("a/b@tavrel.test"), false},
        {QStringLiteral("nul") + QChar(0) + QStringLiteral("@tavrel.test"), false},
        {QStringLiteral("line\nbreak@tavrel.test"), false},
        {longLocal, false},
        {longLocal + QStringLiteral("x"), false},     // differs only past any readable start
        {QStringLiteral("%demo@tavrel.test"), false}, // the mark of derived names
    };
    const QString support = TQPlaces::tavrelApplicationSupportDirectory();
    QSet<QString> folders;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.address.left(40).toStdString());
        const QString name = TQPlaces::folderNameForUsername(row.address);
        EXPECT_EQ(name == row.address, row.keptAsItIs);
        EXPECT_FALSE(name.isEmpty());
        EXPECT_NE(name, QStringLiteral("."));
        EXPECT_NE(name, QStringLiteral(".."));
        EXPECT_FALSE(name.contains(QLatin1Char('/')));
        EXPECT_FALSE(name.contains(QChar(0)));
        EXPECT_LE(name.toUtf8().size(), 255);
        EXPECT_EQ(TQPlaces::tavrelSupportDirectoryForUsername(row.address),
                  support + QLatin1Char('/') + name);
        EXPECT_EQ(TQPlaces::tavrelPeristentStoreCoordinatorForUsername(row.address),
                  support + QLatin1Char('/') + name + QStringLiteral("/data.storedata"));
        // The same address, the same folder.
        EXPECT_EQ(TQPlaces::folderNameForUsername(row.address), name);
        folders.insert(name);
    }
    EXPECT_EQ(folders.size(), rows.size());
    EXPECT_TRUE(TQPlaces::folderNameForUsername(QString()).isNull());
    EXPECT_TRUE(TQPlaces::tavrelPeristentStoreCoordinatorForUsername(QString()).isNull());
}

} // namespace
} // namespace tavrel::test
