#include "SyncFixture.h"

#include "model/TQMOCMaster.h"
#include "platform/store/PersistentStoreCoordinator.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace tavrel::test {

QStringList SyncTest::serviceResourceIds() const
{
    QStringList ids = m_account.service.documentIds();
    ids.sort();
    return ids;
}

namespace {

bool execute(const QString& path, const QString& sql, QStringList* rows = nullptr)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        return false;
    // The store's connections come and go (a worker's closes as its thread ends, just after it called
    // back), and the file is locked for that moment: wait as the store's own connections do.
    sqlite3_busy_timeout(db, 10000);
    const auto collect = [](void* out, int columns, char** values, char**) {
        if (out && columns > 0 && values[0])
            static_cast<QStringList*>(out)->append(QString::fromUtf8(values[0]));
        return 0;
    };
    const bool ok = sqlite3_exec(db, sql.toUtf8().constData(), collect, rows, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

} // namespace

void SyncTest::breakStoreWrites()
{
    const QString path = m_account.session->mocManager()->persistentStoreCoordinator()->storePath();
    QStringList tables;
    ASSERT_TRUE(
        execute(path,
                QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                               "'sqlite_%'"),
                &tables));
    for (const QString& table : std::as_const(tables)) {
        for (const QString& action :
             {QStringLiteral("INSERT"), QStringLiteral("UPDATE"), QStringLiteral("DELETE")}) {
            const QString trigger = QStringLiteral("test_fail_%1_%2").arg(action.toLower(), table);
            ASSERT_TRUE(execute(path, QStringLiteral("CREATE TRIGGER \"%1\" BEFORE %2 ON \"%3\" BEGIN SELECT "
                                                     "RAISE(ABORT, 'disk refused the write'); END")
                                          .arg(trigger, action, table)));
            m_triggers.append(trigger);
        }
    }
}

void SyncTest::repairStoreWrites()
{
    const QString path = m_account.session->mocManager()->persistentStoreCoordinator()->storePath();
    for (const QString& trigger : std::as_const(m_triggers))
        EXPECT_TRUE(execute(path, QStringLiteral("DROP TRIGGER IF EXISTS \"%1\"").arg(trigger)))
            << trigger.toStdString();
    m_triggers.clear();
}

} // namespace tavrel::test
