// Measures the object store against plain SQLite: insert speed by feed pages, and the first page of a
// large store sorted by title. Prints "name: value" lines.
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/ManagedObjectModel.h"
#include "platform/store/PersistentStoreCoordinator.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

using namespace tavrel;

namespace {
constexpr int kRecords = 100000;
constexpr int kPage = 500;

std::shared_ptr<ManagedObjectModel> model()
{
    using T = AttributeDescription::Type;
    auto m = std::make_shared<ManagedObjectModel>();
    m->addEntity("GoogleObject")
        .setAbstract(true)
        .addAttribute("identifier", T::String, {}, true)
        .addAttribute("eTag", T::String);
    m->addEntity("FileEntryAbstract", "GoogleObject")
        .setAbstract(true)
        .addAttribute("resourceId", T::String)
        .addAttribute("kind", T::String)
        .addAttribute("title", T::String, {}, true)
        .addAttribute("updatedDate", T::Date, {}, true)
        .addAttribute("isTrashed", T::Bool, false)
        .addAttribute("isStarred", T::Bool, false)
        .addAttribute("quotaBytesUsed", T::Int64, 0);
    m->addEntity("File", "FileEntryAbstract");
    m->addEntity("Category", "FileEntryAbstract");
    m->finalize();
    return m;
}

QString title(int i)
{
    return QStringLiteral("Document %1").arg((i * 7919) % kRecords, 6, 10, QLatin1Char('0'));
}

double plainSqlite(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA cache_size=-32000;", nullptr,
                 nullptr, nullptr);
    sqlite3_exec(
        db,
        "CREATE TABLE f (pk INTEGER PRIMARY KEY, ent INTEGER, identifier TEXT, eTag TEXT, resourceId TEXT, "
        "kind TEXT, title TEXT, updatedDate INTEGER, isTrashed INTEGER, isStarred INTEGER, quota INTEGER);"
        "CREATE INDEX fi ON f(identifier); CREATE INDEX ft ON f(title); CREATE INDEX fu ON f(updatedDate);"
        // The same indexes the store keeps for a table shared by documents and collections.
        "CREATE INDEX fei ON f(ent, identifier); CREATE INDEX fet ON f(ent, title);"
        "CREATE INDEX feu ON f(ent, updatedDate);",
        nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO f VALUES (?,?,?,?,?,?,?,?,?,?,?)", -1, &s, nullptr);
    QElapsedTimer timer;
    timer.start();
    for (int page = 0; page < kRecords / kPage; ++page) {
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (int j = 0; j < kPage; ++j) {
            const int i = page * kPage + j;
            const QByteArray id = QByteArray::number(i);
            const QByteArray t = title(i).toUtf8();
            sqlite3_bind_int64(s, 1, i + 1);
            sqlite3_bind_int64(s, 2, i % 100 == 0 ? 4 : 3);
            sqlite3_bind_text(s, 3, id.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(s, 4, "\"etag\"", -1, SQLITE_STATIC);
            sqlite3_bind_text(s, 5, ("document:" + id).constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(s, 6, "document", -1, SQLITE_STATIC);
            sqlite3_bind_text(s, 7, t.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(s, 8, 1700000000000 + i);
            sqlite3_bind_int64(s, 9, 0);
            sqlite3_bind_int64(s, 10, i % 2);
            sqlite3_bind_int64(s, 11, i);
            sqlite3_step(s);
            sqlite3_reset(s);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    sqlite3_finalize(s);
    sqlite3_close(db);
    return ms;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const double plainMs = plainSqlite(dir.filePath("plain.sqlite"));
    std::printf("plain sqlite insert %d records: %.0f ms (%.0f records/s)\n", kRecords, plainMs,
                kRecords / plainMs * 1000);

    const QString path = dir.filePath("data.storedata");
    double storeMs = 0;
    {
        auto psc = std::make_shared<PersistentStoreCoordinator>(model());
        psc->addPersistentStore(path);
        ManagedObjectContext context(psc);
        QElapsedTimer timer;
        timer.start();
        for (int page = 0; page < kRecords / kPage; ++page) {
            for (int j = 0; j < kPage; ++j) {
                const int i = page * kPage + j;
                auto f = context.insertNewObject(i % 100 == 0 ? "Category" : "File");
                f->setValueForKey("identifier", QString::number(i));
                f->setValueForKey("eTag", QStringLiteral("\"etag\""));
                f->setValueForKey("resourceId", QStringLiteral("document:%1").arg(i));
                f->setValueForKey("kind", QStringLiteral("document"));
                f->setValueForKey("title", title(i));
                f->setValueForKey("updatedDate", QDateTime::fromMSecsSinceEpoch(1700000000000 + i, Qt::UTC));
                f->setValueForKey("isStarred", i % 2 == 1);
                f->setValueForKey("quotaBytesUsed", i);
            }
            context.save();
        }
        storeMs = timer.nsecsElapsed() / 1e6;
    }
    std::printf("store insert %d records in pages of %d: %.0f ms (%.0f records/s)\n", kRecords, kPage,
                storeMs, kRecords / storeMs * 1000);
    std::printf("store insert / plain sqlite: %.2fx\n", storeMs / plainMs);

    auto psc = std::make_shared<PersistentStoreCoordinator>(model());
    QElapsedTimer timer;
    timer.start();
    psc->addPersistentStore(path);
    ManagedObjectContext context(psc);
    FetchRequest request("FileEntryAbstract");
    request.setSortDescriptors({SortDescriptor("title")});
    request.setFetchLimit(50);
    auto page = context.executeFetchRequest(request);
    QString first;
    for (const auto& o : page)
        first = o->stringValue("title");
    std::printf("open + first page (50 of %d sorted by title, fetch limit): %.1f ms\n", kRecords,
                timer.nsecsElapsed() / 1e6);

    timer.restart();
    request.setFetchLimit(0);
    request.setFetchBatchSize(50);
    auto all = context.executeFetchRequest(request);
    for (int i = 0; i < 50 && i < all.size(); ++i)
        first = all[i]->stringValue("title");
    std::printf("whole list as faults + first 50 rows loaded (%lld records): %.1f ms\n",
                qlonglong(all.size()), timer.nsecsElapsed() / 1e6);
    all.clear();
    timer.restart();
    request.setFetchBatchSize(0);
    all = context.executeFetchRequest(request);
    std::printf("whole list with values (%lld records): %.1f ms\n", qlonglong(all.size()), timer.nsecsElapsed() / 1e6);
    all.clear();

    timer.restart();
    FetchRequest categories("Category");
    categories.setSortDescriptors({SortDescriptor("updatedDate", false)});
    const auto cats = context.executeFetchRequest(categories);
    std::printf("all categories by date (%lld records): %.1f ms\n", qlonglong(cats.size()),
                timer.nsecsElapsed() / 1e6);
    timer.restart();
    FetchRequest byId("File");
    byId.setPredicate(Predicate::format("identifier == %@", QStringLiteral("77777")));
    const auto found = context.executeFetchRequest(byId);
    std::printf("lookup by identifier: %.2f ms (%lld found)\n", timer.nsecsElapsed() / 1e6,
                qlonglong(found.size()));
    return 0;
}
