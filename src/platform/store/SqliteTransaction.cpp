#include "platform/store/SqliteTransaction.h"

#include "platform/store/SqliteConnection.h"

namespace tavrel {

SqliteTransaction::SqliteTransaction(SqliteConnection& db) : m_db(db)
{
    m_db.exec(QStringLiteral("BEGIN IMMEDIATE"));
}

SqliteTransaction::~SqliteTransaction()
{
    if (m_done)
        return;
    try {
        m_db.exec(QStringLiteral("ROLLBACK"));
    } catch (...) {
    }
}

void SqliteTransaction::commit()
{
    m_db.exec(QStringLiteral("COMMIT"));
    m_done = true;
}

} // namespace tavrel
