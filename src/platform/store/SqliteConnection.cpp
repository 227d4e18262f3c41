#include "platform/store/SqliteConnection.h"

#include "platform/store/KeyValueCoding.h"
#include "platform/store/ManagedObject.h"

#include <QDataStream>
#include <QDateTime>
#include <QIODevice>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cstring>
#include <sqlite3.h>

namespace tavrel {

namespace {
// Stored text is UTF-8; a leading U+FEFF is part of it, which QString::fromUtf8 would drop.
QString fromStoredUtf8(const char* text, qsizetype length)
{
    if (length >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) {
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        return decoder.decode(QByteArrayView(text, length));
    }
    return QString::fromUtf8(text, length);
}

QString textOf(sqlite3_value* v)
{
    const auto* p = reinterpret_cast<const char16_t*>(sqlite3_value_text16(v));
    const int n = sqlite3_value_bytes16(v) / 2;
    if (!p)
        return QString();
    // Copied as it is: QString::fromUtf16 would take a leading U+FEFF for a byte-order mark and drop it.
    return n == 0 ? QStringLiteral("") : QString(reinterpret_cast<const QChar*>(p), n);
}

// tv_str(operator, options, value, pattern): the in-memory string operators, so SQL and memory agree.
void stringFunction(sqlite3_context* ctx, int, sqlite3_value** args)
{
    if (sqlite3_value_type(args[2]) == SQLITE_NULL || sqlite3_value_type(args[3]) == SQLITE_NULL ||
        sqlite3_value_type(args[2]) != SQLITE_TEXT) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    try {
        const auto op = KeyValueCoding::StringOperator(sqlite3_value_int(args[0]));
        const int options = sqlite3_value_int(args[1]);
        sqlite3_result_int(
            ctx, KeyValueCoding::stringMatch(op, textOf(args[2]), textOf(args[3]), options) ? 1 : 0);
    } catch (const std::exception& e) {
        sqlite3_result_error(ctx, e.what(), -1);
    }
}

// tv_eq(value, other, options): equality of text under [c]/[d].
void equalFunction(sqlite3_context* ctx, int, sqlite3_value** args)
{
    if (sqlite3_value_type(args[0]) != SQLITE_TEXT || sqlite3_value_type(args[1]) != SQLITE_TEXT) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    const int options = sqlite3_value_int(args[2]);
    sqlite3_result_int(ctx, KeyValueCoding::fold(textOf(args[0]), options) ==
                                KeyValueCoding::fold(textOf(args[1]), options));
}

int collate(void* mode, int n1, const void* p1, int n2, const void* p2)
{
    const QString a = fromStoredUtf8(static_cast<const char*>(p1), n1);
    const QString b = fromStoredUtf8(static_cast<const char*>(p2), n2);
    const intptr_t m = reinterpret_cast<intptr_t>(mode);
    return KeyValueCoding::sortCompare(a, b, (m & 1) ? 1 : 0, (m & 2) != 0);
}
} // namespace

void SqliteConnection::raise(sqlite3* db, int code, const QString& context)
{
    const QString message =
        db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code));
    throw Failure(code, context.isEmpty() ? message : QStringLiteral("%1: %2").arg(context, message));
}

SqliteConnection::SqliteConnection(const QString& path, bool create)
{
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
    if (create)
        flags |= SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message =
            m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        throw Failure(rc, message);
    }
    sqlite3_busy_timeout(m_db, 30000);
    sqlite3_extended_result_codes(m_db, 0);
    sqlite3_create_function_v2(m_db, "tv_str", 4, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, stringFunction,
                               nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(m_db, "tv_eq", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, equalFunction,
                               nullptr, nullptr, nullptr);
    sqlite3_create_collation_v2(m_db, "TV_CI", SQLITE_UTF8, reinterpret_cast<void*>(intptr_t(1)), collate,
                                nullptr);
    sqlite3_create_collation_v2(m_db, "TV_LOC", SQLITE_UTF8, reinterpret_cast<void*>(intptr_t(2)), collate,
                                nullptr);
    sqlite3_create_collation_v2(m_db, "TV_LOCCI", SQLITE_UTF8, reinterpret_cast<void*>(intptr_t(3)), collate,
                                nullptr);
}

SqliteConnection::~SqliteConnection()
{
    m_cache.clear();
    for (sqlite3_stmt* s : std::as_const(m_handles))
        sqlite3_finalize(s);
    sqlite3_close_v2(m_db);
}

SqliteStatement& SqliteConnection::prepare(const QString& sql)
{
    auto it = m_cache.find(sql);
    if (it != m_cache.end()) {
        (*it)->reset();
        return **it;
    }
    sqlite3_stmt* s = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc =
        sqlite3_prepare_v3(m_db, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &s, nullptr);
    if (rc != SQLITE_OK)
        raise(m_db, rc, sql);
    if (m_cache.size() > 400) {
        ++m_cacheGeneration;
        m_cache.clear();
        for (sqlite3_stmt* old : std::as_const(m_handles))
            sqlite3_finalize(old);
        m_handles.clear();
    }
    m_handles.insert(sql, s);
    auto statement = std::make_shared<SqliteStatement>(m_db, s);
    m_cache.insert(sql, statement);
    return *statement;
}

void SqliteConnection::exec(const QString& sql)
{
    char* message = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const QString text = message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(message);
        throw Failure(rc, text);
    }
}

bool SqliteConnection::inTransaction() const
{
    return sqlite3_get_autocommit(m_db) == 0;
}

bool SqliteConnection::settle()
{
    for (sqlite3_stmt* s = sqlite3_next_stmt(m_db, nullptr); s; s = sqlite3_next_stmt(m_db, s))
        if (sqlite3_stmt_busy(s))
            sqlite3_reset(s);
    return !inTransaction();
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

void SqliteStatement::bind(int index, const QVariant& value)
{
    if (KeyValueCoding::isNil(value)) {
        sqlite3_bind_null(m_statement, index);
        return;
    }
    if (const ManagedObject* r = KeyValueCoding::record(value)) {
        sqlite3_bind_int64(m_statement, index, r->objectID().primaryKey());
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
        sqlite3_bind_int64(m_statement, index, value.toBool() ? 1 : 0);
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(m_statement, index, value.toDouble());
        return;
    case QMetaType::QString:
        bindText(index, value.toString());
        return;
    case QMetaType::QDateTime:
        sqlite3_bind_int64(m_statement, index, value.toDateTime().toMSecsSinceEpoch());
        return;
    case QMetaType::QByteArray: {
        const QByteArray data = value.toByteArray();
        sqlite3_bind_blob64(m_statement, index, data.constData(), sqlite3_uint64(data.size()),
                            SQLITE_TRANSIENT);
        return;
    }
    default:
        break;
    }
    if (KeyValueCoding::isNumber(value)) {
        sqlite3_bind_int64(m_statement, index, value.toLongLong());
        return;
    }
    const QByteArray data = serialize(value);
    sqlite3_bind_blob64(m_statement, index, data.constData(), sqlite3_uint64(data.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::bindInt64(int index, qint64 value)
{
    sqlite3_bind_int64(m_statement, index, value);
}

void SqliteStatement::bindText(int index, const QString& value)
{
    // The file holds UTF-8: Qt's encoder is much faster than SQLite's own conversion. The buffer is
    // reused; SQLite copies the text.
    thread_local QStringEncoder encoder(QStringEncoder::Utf8);
    thread_local QByteArray buffer;
    const qsizetype need = encoder.requiredSpace(value.size());
    if (buffer.size() < need)
        buffer.resize(need);
    const char* end = encoder.appendToBuffer(buffer.data(), value);
    sqlite3_bind_text(m_statement, index, buffer.constData(), int(end - buffer.constData()),
                      SQLITE_TRANSIENT);
}

void SqliteStatement::bindNull(int index)
{
    sqlite3_bind_null(m_statement, index);
}

bool SqliteStatement::step()
{
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(m_statement);
    SqliteConnection::raise(m_db, rc, QString::fromUtf8(sqlite3_sql(m_statement)));
}

void SqliteStatement::run()
{
    while (step()) {
    }
}

int SqliteStatement::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

bool SqliteStatement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

qint64 SqliteStatement::int64(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

double SqliteStatement::real(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

QString SqliteStatement::text(int column) const
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    const int n = sqlite3_column_bytes(m_statement, column);
    if (!p)
        return QString();
    // An empty text is a value, not nil.
    return n == 0 ? QStringLiteral("") : fromStoredUtf8(p, n);
}

QByteArray SqliteStatement::blob(int column) const
{
    const void* p = sqlite3_column_blob(m_statement, column);
    const int n = sqlite3_column_bytes(m_statement, column);
    return p ? QByteArray(static_cast<const char*>(p), n) : QByteArray();
}

QByteArray SqliteStatement::serialize(const QVariant& value)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << value;
    return data;
}

QVariant SqliteStatement::deserialize(const QByteArray& data)
{
    QDataStream in(data);
    in.setVersion(QDataStream::Qt_6_4);
    QVariant value;
    in >> value;
    if (in.status() != QDataStream::Ok)
        return {};
    return value;
}

} // namespace tavrel
