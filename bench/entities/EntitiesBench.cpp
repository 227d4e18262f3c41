// Inserts a large account (documents with their companion records, contacts with two addresses each)
// through the entity model in one save, and the same rows with plain SQLite statements as a baseline;
// then reopens the store for the first page of documents by title and fetches every document.
// Prints: insert_records_per_s, ratio_to_sqlite, first_page_ms, peak_rss_mb. Details go to stderr.
#include "model/Contact.h"
#include "model/File.h"
#include "model/Mail.h"
#include "model/TQDataModel.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentStoreCoordinator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

using namespace tavrel;

namespace {
constexpr int kFiles = 100000;
constexpr int kContacts = 10000;
// A document brings three companions (XmlInfo, FileCachedFile, FileCachedIcon); a contact two
// (XmlInfo, ContactCachedAvatar) and two Mail records.
constexpr qint64 kRecords = qint64(kFiles) * 4 + qint64(kContacts) * 5;

QString title(int i)
{
    return QStringLiteral("Document %1").arg((i * 7919) % kFiles, 6, 10, QLatin1Char('0'));
}

QString xmlOf(int i)
{
    return QStringLiteral("<entry xmlns='http://www.w3.org/2005/Atom'><id>%1</id></entry>").arg(i);
}

double peakRssMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

void check(sqlite3* db, int rc)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

// The same rows as the store writes: one table for the GoogleObject hierarchy, one per companion
// entity, one for mail addresses, with the same indexes, in one transaction.
double plainSqlite(const QString& path)
{
    sqlite3* db = nullptr;
    check(db, sqlite3_open(path.toUtf8().constData(), &db));
    check(db,
          sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr, nullptr));
    check(db, sqlite3_exec(
                  db,
                  "CREATE TABLE g (pk INTEGER PRIMARY KEY, ent INTEGER, identifier TEXT, eTag TEXT, "
                  "xmlInfo INTEGER, resourceId TEXT, kind TEXT, title TEXT, updatedDate INTEGER, "
                  "isHidden INTEGER, isTrashed INTEGER, isStarred INTEGER, isViewed INTEGER, isNew INTEGER, "
                  "hasChange INTEGER, hasCommenterSupport INTEGER, writersCanInvite INTEGER, "
                  "fileCachedFile INTEGER, fileCachedIcon INTEGER, name TEXT, favourite INTEGER, "
                  "contactCachedAvatar INTEGER, primaryMail INTEGER);"
                  "CREATE INDEX gi ON g(ent, identifier); CREATE INDEX gt ON g(ent, title);"
                  "CREATE TABLE x (pk INTEGER PRIMARY KEY, xmlValue TEXT);"
                  "CREATE TABLE cf (pk INTEGER PRIMARY KEY, value TEXT, eTag TEXT, lastRequestedETag TEXT);"
                  "CREATE TABLE ci (pk INTEGER PRIMARY KEY, value TEXT, eTag TEXT, lastRequestedETag TEXT);"
                  "CREATE TABLE ca (pk INTEGER PRIMARY KEY, value TEXT, eTag TEXT, lastRequestedETag TEXT);"
                  "CREATE TABLE m (pk INTEGER PRIMARY KEY, address TEXT, label TEXT, displayName TEXT, "
                  "contact INTEGER);"
                  "CREATE INDEX ma ON m(address); CREATE INDEX mc ON m(contact);",
                  nullptr, nullptr, nullptr));
    sqlite3_stmt* doc = nullptr;
    sqlite3_stmt* person = nullptr;
    sqlite3_stmt* xml = nullptr;
    sqlite3_stmt* cache[3] = {};
    sqlite3_stmt* mail = nullptr;
    check(db,
          sqlite3_prepare_v2(db,
                             "INSERT INTO g (pk, ent, identifier, eTag, xmlInfo, resourceId, kind, title, "
                             "updatedDate, isHidden, isTrashed, isStarred, isViewed, isNew, hasChange, "
                             "hasCommenterSupport, writersCanInvite, fileCachedFile, fileCachedIcon) "
                             "VALUES (?,1,?,?,?,?,?,?,?,0,0,?,0,0,0,1,0,?,?)",
                             -1, &doc, nullptr));
    check(db, sqlite3_prepare_v2(db,
                                 "INSERT INTO g (pk, ent, identifier, eTag, xmlInfo, name, favourite, "
                                 "contactCachedAvatar, primaryMail) VALUES (?,2,?,?,?,?,0,?,?)",
                                 -1, &person, nullptr));
    check(db, sqlite3_prepare_v2(db, "INSERT INTO x VALUES (?,?)", -1, &xml, nullptr));
    const char* cacheTables[3] = {"cf", "ci", "ca"};
    for (int t = 0; t < 3; ++t)
        check(db,
              sqlite3_prepare_v2(
                  db,
                  (QByteArray("INSERT INTO ") + cacheTables[t] + " VALUES (?,NULL,NULL,NULL)").constData(),
                  -1, &cache[t], nullptr));
    check(db, sqlite3_prepare_v2(db, "INSERT INTO m VALUES (?,?,?,?,?)", -1, &mail, nullptr));

    QElapsedTimer timer;
    timer.start();
    check(db, sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr));
    qint64 xmlKey = 0, cacheKey[3] = {0, 0, 0}, mailKey = 0;
    auto insertKeyOnly = [&](sqlite3_stmt* s, qint64 key) {
        sqlite3_bind_int64(s, 1, key);
        check(db, sqlite3_step(s));
        sqlite3_reset(s);
    };
    for (int i = 0; i < kFiles; ++i) {
        const QByteArray id = QByteArray::number(i);
        const QByteArray t = title(i).toUtf8();
        const QByteArray x = xmlOf(i).toUtf8();
        sqlite3_bind_int64(xml, 1, ++xmlKey);
        sqlite3_bind_text(xml, 2, x.constData(), int(x.size()), SQLITE_TRANSIENT);
        check(db, sqlite3_step(xml));
        sqlite3_reset(xml);
        insertKeyOnly(cache[0], ++cacheKey[0]);
        insertKeyOnly(cache[1], ++cacheKey[1]);
        sqlite3_bind_int64(doc, 1, i + 1);
        sqlite3_bind_text(doc, 2, id.constData(), int(id.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(doc, 3, "\"etag\"", -1, SQLITE_STATIC);
        sqlite3_bind_int64(doc, 4, xmlKey);
        sqlite3_bind_text(doc, 5, ("document:" + id).constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(doc, 6, "document", -1, SQLITE_STATIC);
        sqlite3_bind_text(doc, 7, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(doc, 8, 1700000000000 + i);
        sqlite3_bind_int64(doc, 9, i % 2);
        sqlite3_bind_int64(doc, 10, cacheKey[0]);
        sqlite3_bind_int64(doc, 11, cacheKey[1]);
        check(db, sqlite3_step(doc));
        sqlite3_reset(doc);
    }
    for (int c = 0; c < kContacts; ++c) {
        const qint64 pk = kFiles + c + 1;
        const QByteArray name = QStringLiteral("Person %1").arg(c).toUtf8();
        for (int k = 0; k < 2; ++k) {
            const QByteArray address = QStringLiteral("person%1.%2@example.com").arg(c).arg(k).toUtf8();
            sqlite3_bind_int64(mail, 1, ++mailKey);
            sqlite3_bind_text(mail, 2, address.constData(), int(address.size()), SQLITE_TRANSIENT);
            sqlite3_bind_null(mail, 3);
            sqlite3_bind_text(mail, 4, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int64(mail, 5, pk);
            check(db, sqlite3_step(mail));
            sqlite3_reset(mail);
        }
        const QByteArray x = xmlOf(-c).toUtf8();
        sqlite3_bind_int64(xml, 1, ++xmlKey);
        sqlite3_bind_text(xml, 2, x.constData(), int(x.size()), SQLITE_TRANSIENT);
        check(db, sqlite3_step(xml));
        sqlite3_reset(xml);
        insertKeyOnly(cache[2], ++cacheKey[2]);
        const QByteArray id = QByteArray("c") + QByteArray::number(c);
        sqlite3_bind_int64(person, 1, pk);
        sqlite3_bind_text(person, 2, id.constData(), int(id.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(person, 3, "\"etag\"", -1, SQLITE_STATIC);
        sqlite3_bind_int64(person, 4, xmlKey);
        sqlite3_bind_text(person, 5, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(person, 6, cacheKey[2]);
        sqlite3_bind_int64(person, 7, mailKey - 1);
        check(db, sqlite3_step(person));
        sqlite3_reset(person);
    }
    check(db, sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr));
    const double ms = timer.nsecsElapsed() / 1e6;
    for (sqlite3_stmt* s : {doc, person, xml, cache[0], cache[1], cache[2], mail})
        sqlite3_finalize(s);
    sqlite3_close(db);
    return ms;
}

double storeInsert(const QString& path)
{
    auto psc = std::make_shared<PersistentStoreCoordinator>(TQDataModel::mainDataContext());
    psc->addPersistentStore(path);
    ManagedObjectContext context(psc);
    QElapsedTimer timer;
    timer.start();
    {
        for (int i = 0; i < kFiles; ++i) {
            auto file = context.insertNewObject<File>("File");
            file->setIdentifier(QString::number(i));
            file->setETag(QStringLiteral("\"etag\""));
            file->setXml(xmlOf(i));
            file->setResourceId(QStringLiteral("document:%1").arg(i));
            file->setKind(QStringLiteral("document"));
            file->setTitle(title(i));
            file->setUpdatedDate(QDateTime::fromMSecsSinceEpoch(1700000000000 + i, Qt::UTC));
            file->setIsStarred(i % 2 == 1);
            file->setHasCommenterSupport(true);
        }
        for (int c = 0; c < kContacts; ++c) {
            auto contact = context.insertNewObject<Contact>("Contact");
            contact->setIdentifier(QStringLiteral("c%1").arg(c));
            contact->setETag(QStringLiteral("\"etag\""));
            contact->setXml(xmlOf(-c));
            contact->setName(QStringLiteral("Person %1").arg(c));
            for (int k = 0; k < 2; ++k) {
                auto mail = context.insertNewObject<Mail>("Mail");
                mail->setAddress(QStringLiteral("person%1.%2@example.com").arg(c).arg(k));
                contact->addMail(mail);
                if (k == 0)
                    contact->setPrimaryMail(mail);
            }
        }
        const double built = timer.nsecsElapsed() / 1e6;
        std::fprintf(stderr, "store: peak after building the records %.0f MB\n", peakRssMb());
        Error error;
        if (!context.save(&error)) {
            std::fprintf(stderr, "save failed: %s\n", qPrintable(error.description()));
            std::exit(1);
        }
        std::fprintf(stderr, "store: records built in %.0f ms, saved in %.0f ms; peak after save %.0f MB\n",
                     built, timer.nsecsElapsed() / 1e6 - built, peakRssMb());
    }
    return timer.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const double plainMs = plainSqlite(dir.filePath("plain.sqlite"));
    std::fprintf(stderr, "plain sqlite: %lld rows in %.0f ms\n", qlonglong(kRecords), plainMs);

    const QString path = dir.filePath("data.storedata");
    const double storeMs = storeInsert(path);
    std::fprintf(stderr, "store: %lld records in %.0f ms\n", qlonglong(kRecords), storeMs);

    QElapsedTimer timer;
    timer.start();
    auto psc = std::make_shared<PersistentStoreCoordinator>(TQDataModel::mainDataContext());
    psc->addPersistentStore(path);
    ManagedObjectContext context(psc);
    FetchRequest request("File");
    request.setSortDescriptors({SortDescriptor("title", true)});
    request.setFetchLimit(50);
    QString last;
    for (const auto& file : context.executeFetchRequest<File>(request))
        last = file->title();
    const double firstPageMs = timer.nsecsElapsed() / 1e6;
    std::fprintf(stderr, "first page ends with %s\n", qPrintable(last));

    timer.restart();
    FetchRequest all("File");
    all.setSortDescriptors({SortDescriptor("title", true)});
    const auto documents = context.executeFetchRequest<File>(all);
    qint64 chars = 0;
    for (const auto& file : documents)
        chars += file->title().size();
    std::fprintf(stderr, "all %lld documents fetched in %.0f ms (%lld title characters)\n",
                 qlonglong(documents.size()), timer.nsecsElapsed() / 1e6, qlonglong(chars));

    const struct
    {
        const char* what;
        const char* format;
    } mailLookups[] = {
        {"same spelling", "person%1.1@example.com"},
        {"other letter case", "Person%1.1@example.com"},
        {"unknown address", "nobody%1@example.com"},
    };
    int found = 0;
    for (const auto& lookup : mailLookups) {
        timer.restart();
        found = 0;
        for (int c = 0; c < 200; ++c)
            found +=
                Mail::mailEntityWithAddress(QString::fromLatin1(lookup.format).arg(c * 37), &context) ? 1 : 0;
        std::fprintf(stderr, "mail lookup, %s: %.2f ms each (%d of 200 found)\n", lookup.what,
                     timer.nsecsElapsed() / 1e6 / 200, found);
    }
    timer.restart();
    found = 0;
    for (int c = 0; c < 200; ++c)
        found += Contact::contactWithAddress(QStringLiteral("person%1.1@example.com").arg(c * 37), &context)
                     ? 1
                     : 0;
    std::fprintf(stderr, "contact lookup by address: %.2f ms each (%d of 200 found)\n",
                 timer.nsecsElapsed() / 1e6 / 200, found);
    timer.restart();
    found = 0;
    for (int c = 0; c < 200; ++c)
        found += File::fileWithIdentifier(QString::number(c * 331), &context) ? 1 : 0;
    std::fprintf(stderr, "document lookup by identifier: %.2f ms each (%d of 200 found)\n",
                 timer.nsecsElapsed() / 1e6 / 200, found);

    std::printf("insert_records_per_s: %.0f\n", kRecords / storeMs * 1000.0);
    std::printf("ratio_to_sqlite: %.2f\n", storeMs / plainMs);
    std::printf("first_page_ms: %.1f\n", firstPageMs);
    std::printf("peak_rss_mb: %.0f\n", peakRssMb());
    return 0;
}
