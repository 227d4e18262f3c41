// Fills an account store with 100,000 documents of 500 owners in 500 collections (dates over a year,
// general access, kinds, editors), reopens it and measures the grouped document list: the first
// arrangement by date, regrouping by each other key, and search keystrokes on the grouped list. Prints
// on stdout: first_arrange_ms, regroup_owner_ms, regroup_visibility_ms, regroup_sharings_ms,
// regroup_class_ms, regroup_collections_ms, regroup_date_ms, search_keystroke_ms (the slowest of four),
// search_typing_median_ms and search_typing_max_ms (a ten-character search typed a character at a time,
// then cleared), record_change_ms, peak_rss_mb. BENCH_FILES changes the size.
#include "controls/TQGroupWrapper.h"
#include "lists/TQTimeGroupedFilesController.h"
#include "model/Category.h"
#include "model/Contact.h"
#include "model/File.h"
#include "model/Mail.h"
#include "model/TQDataModel.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentStoreCoordinator.h"
#include "support/BenchHome.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace tavrel;

namespace {
int files = 100000;
constexpr int kOwners = 500;
constexpr int kCollections = 500;
constexpr int kSaveBatch = 5000;

QString owner(int i)
{
    return QStringLiteral("owner%1@example.org").arg(i, 3, 10, QLatin1Char('0'));
}

void fill(const QString& path)
{
    auto psc = std::make_shared<PersistentStoreCoordinator>(TQDataModel::mainDataContext());
    psc->addPersistentStore(path);
    ManagedObjectContext context(psc);
    QList<std::shared_ptr<Mail>> owners;
    for (int i = 0; i < kOwners; ++i) {
        auto mail = context.insertNewObject<Mail>(QStringLiteral("Mail"));
        mail->setAddress(owner(i));
        if (i % 2) {
            auto contact = context.insertNewObject<Contact>(QStringLiteral("Contact"));
            contact->setName(QStringLiteral("Person %1").arg(i));
            mail->setContact(contact);
        }
        owners << mail;
    }
    QList<ManagedObjectPtr> collections;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int i = 0; i < kCollections; ++i) {
        auto category = context.insertNewObject(QStringLiteral("Category"));
        category->setValueForKey(QStringLiteral("title"), QStringLiteral("Collection %1").arg(i));
        category->setValueForKey(QStringLiteral("resourceId"), QStringLiteral("folder:%1").arg(i));
        category->setValueForKey(QStringLiteral("updatedDate"), now.addSecs(-qint64(i) * 7001));
        category->setToOne(QStringLiteral("owner"), owners.at(i % kOwners));
        collections << category;
    }
    context.save();
    static const char* const kinds[] = {
        "document:", "spreadsheet:", "presentation:", "file:", "pdf:", "drawing:"};
    static const char* const names[] = {"a.doc", "b.xls", "c.ppt", "photo.jpg", "d.pdf", "e.svg", "song.mp3"};
    for (int i = 0; i < files; ++i) {
        auto file = context.insertNewObject(QStringLiteral("File"));
        file->setValueForKey(
            QStringLiteral("title"),
            QStringLiteral("Document %1").arg((qint64(i) * 7919) % files, 6, 10, QLatin1Char('0')));
        file->setValueForKey(QStringLiteral("resourceId"), QLatin1String(kinds[i % 6]) + QString::number(i));
        file->setValueForKey(QStringLiteral("filename"), QLatin1String(names[i % 7]));
        file->setValueForKey(QStringLiteral("updatedDate"), now.addSecs(-(qint64(i) * 7919 % (400 * 86400))));
        file->setValueForKey(QStringLiteral("quotaBytesUsed"), qint64(i % 1000) * 1024);
        file->setToOne(QStringLiteral("owner"), owners.at(i % kOwners));
        if (i % 3 == 0) {
            auto acl = context.insertNewObject(QStringLiteral("GeneralACLPermission"));
            acl->setValueForKey(QStringLiteral("type"),
                                i % 2 ? QStringLiteral("default") : QStringLiteral("domain"));
            acl->setValueForKey(QStringLiteral("hasLink"), i % 4 == 0);
            file->setToOne(QStringLiteral("generalACL"), acl);
        }
        if (i % 4 == 0)
            file->addToMany(QStringLiteral("editors"), owners.at((i + 7) % kOwners));
        if (i % 5 == 0)
            file->addToMany(QStringLiteral("categories"), collections.at(i % kCollections));
        if ((i + 1) % kSaveBatch == 0) {
            context.save();
            context.reset();
            owners.clear();
            collections.clear();
            FetchRequest mails(QStringLiteral("Mail"));
            mails.setSortDescriptors({SortDescriptor(QStringLiteral("address"))});
            for (const auto& mail : context.executeFetchRequest<Mail>(mails))
                owners << mail;
            FetchRequest categories(QStringLiteral("Category"));
            categories.setSortDescriptors({SortDescriptor(QStringLiteral("resourceId"))});
            collections = context.executeFetchRequest(categories);
        }
    }
    context.save();
    psc->removePersistentStore();
}

double timed(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("BENCH_FILES"))
        files = qEnvironmentVariableIntValue("BENCH_FILES");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.storedata"));
    QElapsedTimer fillTimer;
    fillTimer.start();
    fill(path);
    std::fprintf(stderr, "filled %d documents in %lld ms\n", files, fillTimer.elapsed());

    auto psc = std::make_shared<PersistentStoreCoordinator>(TQDataModel::mainDataContext());
    psc->addPersistentStore(path);
    ManagedObjectContext context(psc);
    TQTimeGroupedFilesController controller(&context);
    controller.setUsername(owner(0));
    controller.setSortDescriptors({SortDescriptor(QStringLiteral("updatedDate"), false)});
    const double first = timed([&] { controller.rearrangeObjects(); });
    std::fprintf(stderr, "rows %d, headers %lld\n", controller.count(),
                 qlonglong(controller.groups().size()));
    std::printf("first_arrange_ms: %.1f\n", first);
    controller.setAutomaticallyPreparesContent(true);
    for (const char* key : {"owner", "visibility", "sharings", "class", "collections", "updatedDate"}) {
        const double ms =
            timed([&] { controller.setSortDescriptors({SortDescriptor(QLatin1String(key), false)}); });
        std::fprintf(stderr, "%s: rows %d, headers %lld\n", key, controller.count(),
                     qlonglong(controller.groups().size()));
        const QString name = QLatin1String(key) == QLatin1String("updatedDate") ? QStringLiteral("date")
                                                                                : QString::fromLatin1(key);
        std::printf("regroup_%s_ms: %.1f\n", qPrintable(name), ms);
    }
    double slowest = 0;
    for (const char* text : {"D", "Do", "Document 01", "Document 012"}) {
        const double ms = timed([&] { controller.setSearchString(QLatin1String(text)); });
        std::fprintf(stderr, "search \"%s\": %.1f ms, rows %d\n", text, ms, controller.count());
        slowest = qMax(slowest, ms);
    }
    std::printf("search_keystroke_ms: %.1f\n", slowest);
    controller.setSearchString(QString());
    const QString typed = QStringLiteral("Document 0");
    QList<double> keystrokes;
    for (qsizetype length = 1; length <= typed.size(); ++length)
        keystrokes << timed([&] { controller.setSearchString(typed.left(length)); });
    std::fprintf(stderr, "typed \"%s\": rows %d\n", qPrintable(typed), controller.count());
    keystrokes << timed([&] { controller.setSearchString(QString()); });
    std::fprintf(stderr, "cleared: rows %d\n", controller.count());
    std::sort(keystrokes.begin(), keystrokes.end());
    std::printf("search_typing_median_ms: %.1f\n", keystrokes.at(keystrokes.size() / 2));
    std::printf("search_typing_max_ms: %.1f\n", keystrokes.last());
    const ManagedObjectPtr record = controller.objectAtRow(controller.count() - 1);
    const double change = timed([&] {
        record->setValueForKey(QStringLiteral("updatedDate"), QDateTime::currentDateTimeUtc());
        context.save();
        context.processPendingChanges();
    });
    std::printf("record_change_ms: %.1f\n", change);
    std::printf("peak_rss_mb: %.1f\n", bench::peakRssMb());
    return 0;
}
