#pragma once

namespace tavrel {

class SqliteConnection;

// An immediate transaction (the write lock is taken at once): begun when made, rolled back when left
// without commit(), as when a statement inside it raised.
class SqliteTransaction
{
public:
    // Raises SqliteConnection::Failure when the transaction cannot begin.
    explicit SqliteTransaction(SqliteConnection& db);
    // Rolls back unless committed; a failing rollback is let go, as the failure that led here matters.
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    // Raises SqliteConnection::Failure when the commit fails; leaving the scope rolls back then.
    void commit();

private:
    SqliteConnection& m_db;
    bool m_done = false;
};

} // namespace tavrel
