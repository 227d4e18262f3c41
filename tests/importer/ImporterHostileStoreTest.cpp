#include "ImporterFixture.h"

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrel::test {

namespace {

// The table that holds the documents' records, as the store layer named it.
QString documentTable(const QString& storePath)
{
    sqlite3* db = nullptr;
    QString found;
    if (sqlite3_open(QFile::encodeName(storePath).constData(), &db) != SQLITE_OK)
        return found;
    sqlite3_stmt* tables = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table'", -1, &tables, nullptr);
    while (found.isEmpty() && sqlite3_step(tables) == SQLITE_ROW) {
        const QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(tables, 0)));
        const QByteArray probe =
            QStringLiteral("SELECT 1 FROM \"%1\" WHERE \"identifier\" = 'doc-budget'").arg(name).toUtf8();
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, probe.constData(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            found = name;
        sqlite3_finalize(statement);
    }
    sqlite3_finalize(tables);
    sqlite3_close(db);
    return found;
}

} // namespace

TEST_F(ImporterTest, AStorePathThatIsNoRegularFileOrATableThatNeverEndsIsRefusedInTime)
{
    struct Row
    {
        const char* name;
        std::function<void()> spoil; // turns the fixture's store into what the row holds
    };
    const QList<Row> rows = {
        {"a FIFO",
         [this] {
             QFile::remove(storePath());
             ASSERT_EQ(::mkfifo(QFile::encodeName(storePath()).constData(), 0600), 0);
         }},
        {"a FIFO beside it as its journal",
         [this] {
             ASSERT_EQ(::mkfifo(QFile::encodeName(storePath() + QStringLiteral("-wal")).constData(), 0600),
                       0);
         }},
        {"a view without end in place of the documents' table",
         [this] {
             const QString table = documentTable(storePath());
             ASSERT_FALSE(table.isEmpty());
             const QByteArray sql =
                 QStringLiteral(
                     "ALTER TABLE \"%1\" RENAME TO \"%1_kept\";"
                     "CREATE VIEW \"%1\" AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                     "FROM n) SELECT kept.* FROM n, \"%1_kept\" AS kept;")
                     .arg(table)
                     .toUtf8();
             sqlite3* db = nullptr;
             ASSERT_EQ(sqlite3_open(QFile::encodeName(storePath()).constData(), &db), SQLITE_OK);
             char* message = nullptr;
             EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message), SQLITE_OK)
                 << (message ? message : "");
             sqlite3_free(message);
             sqlite3_close(db);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        makeFixture();
        row.spoil();
        const QString record = writeRecord(QStringLiteral("budget.tavrel"), QStringLiteral("File"),
                                           QStringLiteral("doc-budget"));
        auto answer = std::async(std::launch::async,
                                 [record] { return importFile(IMPORTER_RECORD_CONTENT_TYPE, record); });
        const bool finished = answer.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
        EXPECT_TRUE(finished);
        if (!finished) {
            // Let a blocked open go, so that the test program can end.
            for (const QString& fifo : {storePath(), storePath() + QStringLiteral("-wal")}) {
                const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
                if (writer >= 0)
                    ::close(writer);
            }
            continue;
        }
        EXPECT_FALSE(answer.get().imported);
        bool logged = false;
        for (const QString& line : logLines())
            logged = logged || line.contains(QLatin1String("cannot be read"));
        EXPECT_TRUE(logged);
    }
}

} // namespace tavrel::test
