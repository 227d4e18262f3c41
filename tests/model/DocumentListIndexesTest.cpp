#include "model/File.h"
#include "model/TQDataModel.h"
#include "platform/store/FetchColumn.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentStoreCoordinator.h"
#include "support/TempHome.h"

#include <QDateTime>
#include <QDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace tavrel;

namespace {

const char* const kByDate = "ZGoogleObject_isTrashed_updatedDate_Z_PK_Z_ENT_publishedDate_index";
const char* const kBySize = "ZGoogleObject_isTrashed_quotaBytesUsed_Z_PK_Z_ENT_index";

class DocumentListIndexes : public test::TempHomeTest
{
protected:
    QString path() { return QDir(home().path()).filePath(QStringLiteral("store.sqlite")); }

    static QStringList column(sqlite3* db, const char* sql, int at = 0)
    {
        QStringList values;
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK)
            return {QString::fromUtf8(sqlite3_errmsg(db))};
        while (sqlite3_step(s) == SQLITE_ROW)
            values.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, at))));
        sqlite3_finalize(s);
        return values;
    }

    QStringList indexes()
    {
        sqlite3* db = nullptr;
        sqlite3_open(path().toUtf8().constData(), &db);
        const QStringList names = column(db, "SELECT name FROM sqlite_master WHERE type = 'index'");
        sqlite3_close(db);
        return names;
    }
};

TEST_F(DocumentListIndexes, AStoreOfThePreviousSchemaGainsThemAndKeepsEveryRecord)
{
    const QDateTime start = QDateTime::fromMSecsSinceEpoch(1700000000000, Qt::UTC);
    {
        auto psc = std::make_shared<PersistentStoreCoordinator>(TQDataModel::mainDataContext());
        psc->addPersistentStore(path());
        ManagedObjectContext context(psc);
        for (int i = 0; i < 40; ++i) {
            auto file = context.insertNewObject<File>(QStringLiteral("File"));
            file->setIdentifier(QString::number(i));
            file->setTitle(QStringLiteral("file %1").arg(i));
            file->setUpdatedDate(start.addSecs(i * 7 % 40 * 60));
            file->setPublishedDate(start);
            file->setValueForKey(QStringLiteral("isTrashed"), i % 5 == 0);
            file->setValueForKey(QStringLiteral("quotaBytesUsed"), qint64(i * 100));
        }
        ASSERT_TRUE(context.save());
        psc->removePersistentStore();
    }
    ASSERT_TRUE(indexes().contains(kByDate));
    ASSERT_TRUE(indexes().contains(kBySize));
    // The file as the previous schema left it: the same tables without the list's indexes.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path().toUtf8().constData(), &db), SQLITE_OK);
    const QString drop = QStringLiteral("DROP INDEX \"%1\"; DROP INDEX \"%2\";").arg(kByDate, kBySize);
    ASSERT_EQ(sqlite3_exec(db, drop.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    ASSERT_FALSE(indexes().contains(kByDate));

    auto psc = std::make_shared<PersistentStoreCoordinator>(TQDataModel::mainDataContext());
    psc->addPersistentStore(path());
    ManagedObjectContext context(psc);
    EXPECT_EQ(context.countForFetchRequest(FetchRequest(QStringLiteral("File"))), 40);
    // The first screen by date, read by a limited query, is the start of the whole order.
    FetchRequest request(QStringLiteral("FileEntryAbstract"));
    request.setPredicate(Predicate::format(QStringLiteral("isTrashed == %@"), false));
    request.setSortDescriptors({SortDescriptor(QStringLiteral("updatedDate"), false)});
    const QList<FetchColumn> columns{FetchColumn::keyPath(QStringLiteral("updatedDate")),
                                     FetchColumn::keyPath(QStringLiteral("publishedDate"))};
    const auto all = context.executeFetchRequestForValues(request, columns);
    ASSERT_EQ(all.ids.size(), 32);
    request.setFetchLimit(10);
    const auto first = context.executeFetchRequestForValues(request, columns);
    EXPECT_EQ(first.ids, all.ids.mid(0, 10));
    EXPECT_EQ(first.values, all.values.mid(0, 10));
    for (qsizetype i = 1; i < all.values.size(); ++i)
        EXPECT_GE(all.values.at(i - 1).at(0).toDateTime(), all.values.at(i).at(0).toDateTime());
    psc->removePersistentStore();

    // Both are there again, and they serve the first screen without reading the table.
    EXPECT_TRUE(indexes().contains(kByDate));
    EXPECT_TRUE(indexes().contains(kBySize));
    ASSERT_EQ(sqlite3_open(path().toUtf8().constData(), &db), SQLITE_OK);
    const QString plan =
        column(db,
               "EXPLAIN QUERY PLAN SELECT t.Z_PK, t.Z_ENT, t.updatedDate, t.publishedDate FROM "
               "ZGoogleObject t WHERE +t.Z_ENT IN (4, 5) AND t.isTrashed = 0 "
               "ORDER BY t.updatedDate DESC, t.Z_PK DESC LIMIT 100",
               3)
            .join(QLatin1Char('\n'));
    sqlite3_close(db);
    EXPECT_TRUE(plan.contains(QStringLiteral("COVERING INDEX %1").arg(kByDate))) << plan.toStdString();
}

} // namespace
