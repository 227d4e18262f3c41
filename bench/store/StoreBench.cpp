// Inserts a large account through the entity model, saved every few thousand documents or contacts as a
// synchronisation does (documents with their companion records, contacts with two addresses each) and the
// same rows with plain SQLite statements into the same tables and indexes; then, in a fresh process, reopens
// the store for the first page of documents by title and fetches every document. Prints on stdout:
// insert_records_per_s, ratio_to_sqlite, insert_peak_rss_mb, first_page_ms, peak_rss_mb. Details go to
// stderr. BENCH_FILES and BENCH_CONTACTS change the sizes (for profiling); BENCH_KEEP keeps the files.
#include "model/Contact.h"
#include "model/File.h"
#include "model/Mail.h"
#include "model/TQDataModel.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentStoreCoordinator.h"
#include "support/BenchHome.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <sqlite3.h>

using namespace tavrel;

namespace {
int files = 100000;
int contacts = 10000;
// Documents or contacts per save.
constexpr int kSaveBatch = 5000;

QString title(int i)
{
    return QStringLiteral("Document %1").arg((qint64(i) * 7919) % files, 6, 10, QLatin1Char('0'));
}

QString xmlOf(int i)
{
    return QStringLiteral("<entry xmlns='http://www.w3.org/2005/Atom'><id>%1</id></entry>").arg(i);
}

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void check(sqlite3* db, int rc)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

sqlite3_stmt* prepare(sqlite3* db, const char* sql)
{
    sqlite3_stmt* s = nullptr;
    check(db, sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr));
    return s;
}

void bindText(sqlite3_stmt* s, int i, const QByteArray& text)
{
    sqlite3_bind_text(s, i, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

void step(sqlite3* db, sqlite3_stmt* s)
{
    check(db, sqlite3_step(s));
    sqlite3_reset(s);
}

// The baseline writes into a file laid out by the store itself (same tables, columns and indexes, made
// by opening it once as a store), with prepared statements in one transaction, the same rows: the same
// keys, values and links as the store writes.
double plainSqlite(const QString& path)
{
    {
        auto psc = std::make_shared<PersistentStoreCoordinator>(TQDataModel::mainDataContext());
        psc->addPersistentStore(path);
    }
    sqlite3* db = nullptr;
    check(db, sqlite3_open(path.toUtf8().constData(), &db));
    check(db,
          sqlite3_exec(db, "PRAGMA synchronous=NORMAL; PRAGMA cache_size=-32000; PRAGMA temp_store=MEMORY",
                       nullptr, nullptr, nullptr));
    QHash<QByteArray, qint64> ent;
    {
        sqlite3_stmt* s = prepare(db, "SELECT Z_NAME, Z_ENT FROM Z_ENTITIES");
        while (sqlite3_step(s) == SQLITE_ROW)
            ent.insert(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)), sqlite3_column_int64(s, 1));
        sqlite3_finalize(s);
    }
    sqlite3_stmt* doc = prepare(
        db,
        "INSERT INTO ZGoogleObject (Z_PK, Z_ENT, identifier, eTag, xmlInfo, xmlInfo_ent, resourceId, kind, "
        "title, updatedDate, isHidden, isTrashed, isStarred, isViewed, isNew, hasChange, "
        "hasCommenterSupport, writersCanInvite, fileCachedFile, fileCachedFile_ent, fileCachedIcon, "
        "fileCachedIcon_ent) VALUES (?,?,?,?,?,?,?,?,?,?,0,0,?,0,0,0,1,0,?,?,?,?)");
    sqlite3_stmt* person = prepare(
        db,
        "INSERT INTO ZGoogleObject (Z_PK, Z_ENT, identifier, eTag, xmlInfo, xmlInfo_ent, name, favourite, "
        "primaryMail, primaryMail_ent, contactCachedAvatar, contactCachedAvatar_ent) "
        "VALUES (?,?,?,?,?,?,?,0,?,?,?,?)");
    sqlite3_stmt* xml = prepare(
        db,
        "INSERT INTO ZXmlInfo (Z_PK, Z_ENT, xmlValue, googleObject, googleObject_ent) VALUES (?,?,?,?,?)");
    sqlite3_stmt* cachedFile =
        prepare(db, "INSERT INTO ZFileCachedFile (Z_PK, Z_ENT, file, file_ent) VALUES (?,?,?,?)");
    sqlite3_stmt* cachedIcon =
        prepare(db, "INSERT INTO ZFileCachedIcon (Z_PK, Z_ENT, file, file_ent) VALUES (?,?,?,?)");
    sqlite3_stmt* avatar =
        prepare(db, "INSERT INTO ZContactCachedAvatar (Z_PK, Z_ENT, contact, contact_ent) VALUES (?,?,?,?)");
    sqlite3_stmt* mail =
        prepare(db, "INSERT INTO ZMail (Z_PK, Z_ENT, address, displayName, contact, contact_ent, "
                    "primaryForContact, primaryForContact_ent) VALUES (?,?,?,?,?,?,?,?)");
    auto insertCompanion = [&](sqlite3_stmt* s, qint64 pk, const char* entity, qint64 owner,
                               const char* ownerEntity) {
        sqlite3_bind_int64(s, 1, pk);
        sqlite3_bind_int64(s, 2, ent.value(entity));
        sqlite3_bind_int64(s, 3, owner);
        sqlite3_bind_int64(s, 4, ent.value(ownerEntity));
        step(db, s);
    };

    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuMs();
    check(db, sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr));
    for (int i = 0; i < files; ++i) {
        const qint64 pk = i + 1;
        sqlite3_bind_int64(xml, 1, pk);
        sqlite3_bind_int64(xml, 2, ent.value("XmlInfo"));
        bindText(xml, 3, xmlOf(i).toUtf8());
        sqlite3_bind_int64(xml, 4, pk);
        sqlite3_bind_int64(xml, 5, ent.value("File"));
        step(db, xml);
        insertCompanion(cachedFile, pk, "FileCachedFile", pk, "File");
        insertCompanion(cachedIcon, pk, "FileCachedIcon", pk, "File");
        sqlite3_bind_int64(doc, 1, pk);
        sqlite3_bind_int64(doc, 2, ent.value("File"));
        bindText(doc, 3, QString::number(i).toUtf8());
        bindText(doc, 4, QStringLiteral("\"etag\"").toUtf8());
        sqlite3_bind_int64(doc, 5, pk);
        sqlite3_bind_int64(doc, 6, ent.value("XmlInfo"));
        bindText(doc, 7, QStringLiteral("document:%1").arg(i).toUtf8());
        bindText(doc, 8, QStringLiteral("document").toUtf8());
        bindText(doc, 9, title(i).toUtf8());
        sqlite3_bind_int64(doc, 10, 1700000000000 + i);
        sqlite3_bind_int64(doc, 11, i % 2);
        sqlite3_bind_int64(doc, 12, pk);
        sqlite3_bind_int64(doc, 13, ent.value("FileCachedFile"));
        sqlite3_bind_int64(doc, 14, pk);
        sqlite3_bind_int64(doc, 15, ent.value("FileCachedIcon"));
        step(db, doc);
    }
    for (int c = 0; c < contacts; ++c) {
        const qint64 pk = files + c + 1;
        const QByteArray name = QStringLiteral("Person %1").arg(c).toUtf8();
        sqlite3_bind_int64(xml, 1, pk);
        sqlite3_bind_int64(xml, 2, ent.value("XmlInfo"));
        bindText(xml, 3, xmlOf(-c).toUtf8());
        sqlite3_bind_int64(xml, 4, pk);
        sqlite3_bind_int64(xml, 5, ent.value("Contact"));
        step(db, xml);
        insertCompanion(avatar, c + 1, "ContactCachedAvatar", pk, "Contact");
        for (int k = 0; k < 2; ++k) {
            sqlite3_bind_int64(mail, 1, 2 * c + k + 1);
            sqlite3_bind_int64(mail, 2, ent.value("Mail"));
            bindText(mail, 3, QStringLiteral("person%1.%2@example.com").arg(c).arg(k).toUtf8());
            bindText(mail, 4, name);
            sqlite3_bind_int64(mail, 5, pk);
            sqlite3_bind_int64(mail, 6, ent.value("Contact"));
            if (k == 0) {
                sqlite3_bind_int64(mail, 7, pk);
                sqlite3_bind_int64(mail, 8, ent.value("Contact"));
            } else {
                sqlite3_bind_null(mail, 7);
                sqlite3_bind_null(mail, 8);
            }
            step(db, mail);
        }
        sqlite3_bind_int64(person, 1, pk);
        sqlite3_bind_int64(person, 2, ent.value("Contact"));
        bindText(person, 3, QStringLiteral("c%1").arg(c).toUtf8());
        bindText(person, 4, QStringLiteral("\"etag\"").toUtf8());
        sqlite3_bind_int64(person, 5, pk);
        sqlite3_bind_int64(person, 6, ent.value("XmlInfo"));
        bindText(person, 7, name);
        sqlite3_bind_int64(person, 8, 2 * c + 1);
        sqlite3_bind_int64(person, 9, ent.value("Mail"));
        sqlite3_bind_int64(person, 10, c + 1);
        sqlite3_bind_int64(person, 11, ent.value("ContactCachedAvatar"));
        step(db, person);
    }
    check(db, sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr));
    const double ms = timer.nsecsElapsed() / 1e6;
    std::fprintf(stderr, "plain sqlite: %.0f ms of processor time\n", cpuMs() - cpu);
    for (sqlite3_stmt* s : {doc, person, xml, cachedFile, cachedIcon, avatar, mail})
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
    const double cpu = cpuMs();
    double saving = 0;
    // Saved records are let go, so the process never holds the whole account unsaved.
    const auto saveEvery = [&](int made) {
        if (made % kSaveBatch != 0)
            return;
        QElapsedTimer save;
        save.start();
        Error error;
        if (!context.save(&error)) {
            std::fprintf(stderr, "save failed: %s\n", qPrintable(error.description()));
            std::exit(1);
        }
        saving += save.nsecsElapsed() / 1e6;
    };
    for (int i = 0; i < files; ++i) {
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
        saveEvery(i + 1);
    }
    for (int c = 0; c < contacts; ++c) {
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
        saveEvery(c + 1);
    }
    const double built = timer.nsecsElapsed() / 1e6 - saving;
    std::fprintf(stderr, "store: peak after building the records %.0f MB\n", bench::peakRssMb());
    Error error;
    if (!context.save(&error)) {
        std::fprintf(stderr, "save failed: %s\n", qPrintable(error.description()));
        std::exit(1);
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    std::fprintf(stderr, "store: %.0f ms of processor time\n", cpuMs() - cpu);
    std::fprintf(stderr, "store: records built in %.0f ms, saved in %.0f ms; peak after save %.0f MB\n",
                 built, ms - built, bench::peakRssMb());
    return ms;
}

// Every row of every table, as a digest: the baseline must have written what the store wrote.
QByteArray digest(const QString& path, const QByteArray& table)
{
    sqlite3* db = nullptr;
    check(db, sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr));
    QCryptographicHash hash(QCryptographicHash::Sha1);
    sqlite3_stmt* s = prepare(db, "SELECT * FROM \"" + table + "\" ORDER BY 1, 2");
    while (sqlite3_step(s) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(s); ++c) {
            const int type = sqlite3_column_type(s, c);
            hash.addData(QByteArray::number(type));
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(s, c));
            hash.addData(QByteArrayView(bytes, sqlite3_column_bytes(s, c)));
            hash.addData("|");
        }
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    return hash.result();
}

void compareFiles(const QString& plain, const QString& store)
{
    sqlite3* db = nullptr;
    check(db, sqlite3_open_v2(store.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr));
    QList<QByteArray> tables;
    sqlite3_stmt* s = prepare(db, "SELECT name FROM sqlite_master WHERE type = 'table' AND name LIKE 'Z%' "
                                  "AND name NOT IN ('Z_METADATA')");
    while (sqlite3_step(s) == SQLITE_ROW)
        tables.append(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    sqlite3_finalize(s);
    sqlite3_close(db);
    QList<QByteArray> differing;
    for (const QByteArray& t : std::as_const(tables))
        if (digest(plain, t) != digest(store, t))
            differing.append(t);
    std::fprintf(stderr, "baseline rows equal the store's: %s\n",
                 differing.isEmpty() ? "yes" : ("no, " + differing.join(", ")).constData());
}

// The reading half, run in its own process so that its memory is that of an application opening a
// store of this size.
int readStore(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    auto psc = std::make_shared<PersistentStoreCoordinator>(TQDataModel::mainDataContext());
    psc->addPersistentStore(path);
    std::fprintf(stderr, "store opened in %.1f ms\n", timer.nsecsElapsed() / 1e6);
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
    const int lookups = qMax(1, qMin(200, contacts));
    for (const auto& lookup : mailLookups) {
        timer.restart();
        int found = 0;
        for (int c = 0; c < lookups; ++c)
            found += Mail::mailEntityWithAddress(QString::fromLatin1(lookup.format).arg(c * 37 % contacts),
                                                 &context)
                         ? 1
                         : 0;
        std::fprintf(stderr, "mail lookup, %s: %.3f ms each (%d of %d found)\n", lookup.what,
                     timer.nsecsElapsed() / 1e6 / lookups, found, lookups);
    }
    timer.restart();
    int found = 0;
    for (int c = 0; c < lookups; ++c)
        found += File::fileWithIdentifier(QString::number(c * 331 % files), &context) ? 1 : 0;
    std::fprintf(stderr, "document lookup by identifier: %.3f ms each (%d of %d found)\n",
                 timer.nsecsElapsed() / 1e6 / lookups, found, lookups);

    std::printf("first_page_ms: %.1f\n", firstPageMs);
    std::printf("peak_rss_mb: %.0f\n", bench::peakRssMb());
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    files = qMax(1, qEnvironmentVariableIntValue("BENCH_FILES") ?: files);
    contacts = qMax(1, qEnvironmentVariableIntValue("BENCH_CONTACTS") ?: contacts);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--read"))
        return readStore(args[2]);

    // A document brings three companions (XmlInfo, FileCachedFile, FileCachedIcon); a contact two
    // (XmlInfo, ContactCachedAvatar) and two Mail records.
    const qint64 records = qint64(files) * 4 + qint64(contacts) * 5;
    QTemporaryDir dir;
    if (qEnvironmentVariableIsSet("BENCH_KEEP")) {
        dir.setAutoRemove(false);
        std::fprintf(stderr, "files kept in %s\n", qPrintable(dir.path()));
    }
    const QString plainPath = dir.filePath("plain.sqlite");
    const double plainMs = plainSqlite(plainPath);
    std::fprintf(stderr, "plain sqlite: %lld rows in %.0f ms\n", qlonglong(records), plainMs);

    const QString path = dir.filePath("data.storedata");
    const double storeMs = storeInsert(path);
    const double insertPeakMb = bench::peakRssMb();
    std::fprintf(stderr, "store: %lld records in %.0f ms\n", qlonglong(records), storeMs);
    compareFiles(plainPath, path);

    std::printf("insert_records_per_s: %.0f\n", records / storeMs * 1000.0);
    std::printf("ratio_to_sqlite: %.2f\n", storeMs / plainMs);
    std::printf("insert_peak_rss_mb: %.0f\n", insertPeakMb);
    std::fflush(stdout);

    QProcess reader;
    reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    reader.start(app.applicationFilePath(), {QStringLiteral("--read"), path});
    if (!reader.waitForFinished(-1) || reader.exitCode() != 0) {
        std::fprintf(stderr, "the reading process failed\n");
        return 1;
    }
    std::fputs(reader.readAllStandardOutput().constData(), stdout);
    return 0;
}
