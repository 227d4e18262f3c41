#pragma once

#include "platform/store/SqliteStatement.h"

#include <QHash>
#include <QString>
#include <memory>
#include <stdexcept>

struct sqlite3;

namespace tavrel {

// One connection to a store file, with its cache of prepared statements and the comparison functions
// that predicates and sort descriptors need in SQL. Used by one thread at a time.
class SqliteConnection
{
public:
    struct Failure : std::runtime_error
    {
        Failure(int sqliteCode, const QString& message)
            : std::runtime_error(message.toStdString()), code(sqliteCode)
        {}
        int code;
    };

    // Raises Failure when the file cannot be opened (or created when create is set).
    SqliteConnection(const QString& path, bool create);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    sqlite3* handle() const { return m_db; }
    // A cached statement, reset and with its bindings cleared.
    SqliteStatement& prepare(const QString& sql);
    // Changes when cached statements were dropped: references from prepare() are void then.
    quint64 cacheGeneration() const { return m_cacheGeneration; }
    void exec(const QString& sql);
    bool inTransaction() const;
    // Ends the statements still stepping (a read left open would pin an old snapshot of the store).
    // True when no transaction is open then: the connection can serve another context.
    bool settle();

    [[noreturn]] static void raise(sqlite3* db, int code, const QString& context);

private:
    sqlite3* m_db = nullptr;
    QHash<QString, std::shared_ptr<SqliteStatement>> m_cache;
    QHash<QString, struct sqlite3_stmt*> m_handles;
    quint64 m_cacheGeneration = 0;
};

} // namespace tavrel
