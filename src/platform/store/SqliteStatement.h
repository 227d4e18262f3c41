#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace tavrel {

// A prepared statement owned by its SqliteConnection's cache. Failures raise SqliteConnection::Failure.
class SqliteStatement
{
public:
    SqliteStatement(sqlite3* db, sqlite3_stmt* statement) : m_db(db), m_statement(statement) {}

    void reset();
    // Index from 1. Booleans bind as 0/1, dates as UTC milliseconds, records by primary key,
    // other values not natively stored as serialised blobs.
    void bind(int index, const QVariant& value);
    void bindInt64(int index, qint64 value);
    void bindText(int index, const QString& value);
    void bindNull(int index);
    // True while a row is available.
    bool step();
    void run(); // steps to the end

    int columnCount() const;
    bool isNull(int column) const;
    qint64 int64(int column) const;
    double real(int column) const;
    QString text(int column) const;
    QByteArray blob(int column) const;

    static QByteArray serialize(const QVariant& value);
    static QVariant deserialize(const QByteArray& data);

private:
    sqlite3* m_db;
    sqlite3_stmt* m_statement;
};

} // namespace tavrel
