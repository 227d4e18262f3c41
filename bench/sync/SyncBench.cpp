// Full synchronisation of a large generated account from the in-process local service, against a raw
// baseline (same pages, pugixml, plain SQLite), then incremental synchronisations with no change and
// with 100 changes made on the service. Figures on stdout, diagnostics on stderr.
// Arguments: [documents] [collections] [contacts]  (default 20000 200 2000).
#include "LocalService.h"
#include "RawBaseline.h"
#include "actions/FastCoreDataUpdateOperation.h"
#include "actions/FullCoreDataUpdateOperation.h"
#include "platform/gdata/GDataEndpoints.h"
#include "support/SyncRecorder.h"
#include "support/TestAccount.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace tavrel;
using namespace tavrel::bench;

namespace {

QString makeHome()
{
    QByteArray templ = "/tmp/tavrel-bench-sync-XXXXXX";
    const char* made = mkdtemp(templ.data());
    if (!made)
        return {};
    const QString root = QString::fromLocal8Bit(made);
    for (const char* sub : {"config", "data", "state", "cache", "runtime", "tmp"})
        QDir(root).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(root + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const auto set = [](const char* name, const QString& value) { qputenv(name, QFile::encodeName(value)); };
    set("HOME", root);
    set("XDG_CONFIG_HOME", root + QStringLiteral("/config"));
    set("XDG_DATA_HOME", root + QStringLiteral("/data"));
    set("XDG_STATE_HOME", root + QStringLiteral("/state"));
    set("XDG_CACHE_HOME", root + QStringLiteral("/cache"));
    set("XDG_RUNTIME_DIR", root + QStringLiteral("/runtime"));
    set("TMPDIR", root + QStringLiteral("/tmp"));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return root;
}

// Sleeps in the event loop (the callback arrives as a posted event) rather than spinning: the main
// thread must not take a core from the synchronisation.
bool waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QTimer tick;
    tick.start(20);
    while (!condition()) {
        if (deadline.hasExpired())
            return condition();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

long peakRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Bench
{
    test::TestAccount account;
    test::SyncRecorder requester;

    // Milliseconds from scheduling to the callback; negative when it failed or never called back.
    double run(const std::shared_ptr<TQOperation>& operation)
    {
        const int before = requester.calls;
        const auto start = std::chrono::steady_clock::now();
        account.schedule(operation, requester);
        if (!waitFor([&] { return requester.calls > before; }, 1800000))
            return -1;
        if (requester.callbackThread != QThread::currentThread())
            std::fprintf(stderr, "the callback came on another thread\n");
        const double ms = std::chrono::duration<double, std::milli>(requester.finishedAt - start).count();
        if (!requester.error.isNull()) {
            std::fprintf(stderr, "synchronisation failed: %s\n",
                         qPrintable(requester.error.localizedDescription()));
            return -1;
        }
        return ms;
    }
    double runFull() { return run(FullCoreDataUpdateOperation::operationWithSession(account.session.get())); }
    double runFast() { return run(FastCoreDataUpdateOperation::operationWithSession(account.session.get())); }
    qint64 count(const QString& entity) { return account.count(entity); }
};

} // namespace

int main(int argc, char** argv)
{
    const QString home = makeHome();
    if (home.isEmpty()) {
        std::fprintf(stderr, "no temporary home\n");
        return 1;
    }
    int status = 0;
    {
        QGuiApplication app(argc, argv);
        localservice::GenerateOptions options;
        options.documents = argc > 1 ? std::atoi(argv[1]) : 20000;
        options.collections = argc > 2 ? std::atoi(argv[2]) : 200;
        options.contacts = argc > 3 ? std::atoi(argv[3]) : 2000;

        Bench bench;
        QElapsedTimer timer;
        timer.start();
        bench.account.service.generate(options);
        std::fprintf(stderr, "generated %d documents, %d collections, %d contacts in %lld ms\n",
                     options.documents, options.collections, options.contacts,
                     static_cast<long long>(timer.elapsed()));
        QString error;
        if (!bench.account.service.start(0, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        bench.account.useService();
        bench.account.openSession();
        const QString token = bench.account.service.issueAccessToken();

        // Full synchronisation.
        bench.account.service.clearJournal();
        const double fullMs = bench.runFull();
        const long peakKb = peakRssKb();
        if (fullMs < 0) {
            std::fprintf(stderr, "full synchronisation did not finish\n");
            status = 1;
        }
        const qint64 files = bench.count(QStringLiteral("File"));
        const qint64 categories = bench.count(QStringLiteral("Category"));
        const qint64 contacts = bench.count(QStringLiteral("Contact"));
        std::fprintf(
            stderr, "stored %lld files, %lld collections, %lld contacts, %lld mails, %lld permissions\n",
            static_cast<long long>(files), static_cast<long long>(categories),
            static_cast<long long>(contacts), static_cast<long long>(bench.count(QStringLiteral("Mail"))),
            static_cast<long long>(bench.count(QStringLiteral("GeneralACLPermission"))));
        QStringList targets;
        for (const localservice::JournalEntry& entry : bench.account.service.journal()) {
            std::fprintf(stderr, "  %s %s -> %d (%lld bytes sent)\n", qPrintable(entry.method),
                         qPrintable(entry.rawTarget.left(110)), entry.status,
                         static_cast<long long>(entry.body.size()));
            if (entry.method == QLatin1String("GET") && entry.status == 200)
                targets.append(entry.rawTarget);
        }

        // The baseline over the same pages.
        const RawBaseline::Result baseline = RawBaseline::run(bench.account.service.port(), token, targets,
                                                              home + QStringLiteral("/tmp/baseline.sqlite"));
        if (!baseline.ok)
            status = 1;
        std::fprintf(
            stderr,
            "baseline: %d pages, %.1f MB, %d documents, %d contacts: %.2f s (fetch %.2f, parse %.2f, "
            "walk and insert %.2f)\n",
            baseline.pages, baseline.bytes / 1e6, baseline.documents, baseline.contacts, baseline.seconds,
            baseline.fetchSeconds, baseline.parseSeconds, baseline.insertSeconds);
        const double fullS = fullMs / 1000.0;
        const qint64 entries = files + categories + contacts;
        std::printf("full_sync_s: %.2f\n", fullS);
        std::printf("entries_per_s: %.0f\n", fullS > 0 ? entries / fullS : 0.0);
        std::printf("ratio_to_baseline: %.2f\n", baseline.seconds > 0 ? fullS / baseline.seconds : 0.0);
        std::printf("peak_rss_mb: %.0f\n", peakKb / 1024.0);
        std::fflush(stdout);

        // Incremental synchronisation with nothing changed.
        std::vector<double> idle;
        int idleRequests = 0;
        const int idleRuns = qEnvironmentVariableIsSet("TAVREL_BENCH_IDLE_RUNS")
                                 ? qEnvironmentVariableIntValue("TAVREL_BENCH_IDLE_RUNS")
                                 : 7;
        for (int i = 0; i < idleRuns; ++i) {
            bench.account.service.clearJournal();
            const double ms = bench.runFast();
            idleRequests = int(bench.account.service.journal().size());
            std::fprintf(stderr, "idle run %d: %.2f ms, %d requests\n", i, ms, idleRequests);
            idle.push_back(ms);
        }
        for (const localservice::JournalEntry& entry : bench.account.service.journal())
            std::fprintf(stderr, "  %s %s -> %d\n", qPrintable(entry.method), qPrintable(entry.rawTarget),
                         entry.status);
        std::printf("idle_requests: %d\n", idleRequests);
        std::printf("idle_ms: %.2f\n", median(idle));
        std::fflush(stdout);

        // 100 changes by someone else, then one incremental synchronisation; three rounds.
        std::vector<double> changes;
        QStringList ids;
        for (const QString& id : bench.account.service.documentIds())
            if (!id.startsWith(QLatin1String("folder:")))
                ids.append(id);
        int next = 0;
        for (int round = 0; round < 3 && ids.size() > 400; ++round) {
            for (int i = 0; i < 40; ++i)
                bench.account.service.renameDocument(ids.at(next++),
                                                     QStringLiteral("Renamed %1 %2").arg(round).arg(i));
            for (int i = 0; i < 20; ++i)
                bench.account.service.addDocument(QStringLiteral("Added %1 %2").arg(round).arg(i));
            for (int i = 0; i < 20; ++i)
                bench.account.service.trashDocument(ids.at(next++));
            for (int i = 0; i < 10; ++i)
                bench.account.service.shareDocument(
                    ids.at(next++), QStringLiteral("someone%1@tavrel.test").arg(i), QStringLiteral("reader"));
            for (int i = 0; i < 10; ++i)
                bench.account.service.deleteDocument(ids.at(next++));
            bench.account.service.clearJournal();
            const double ms = bench.runFast();
            std::fprintf(stderr, "100 changes, round %d: %.2f ms, %d requests\n", round, ms,
                         int(bench.account.service.journal().size()));
            changes.push_back(ms);
        }
        const qint64 stored = bench.count(QStringLiteral("FileEntryAbstract"));
        std::fprintf(stderr, "after the changes: %lld stored, %lld on the service\n",
                     static_cast<long long>(stored),
                     static_cast<long long>(bench.account.service.documentIds().size()));
        std::printf("changes100_ms: %.2f\n", median(changes));
        std::fflush(stdout);

        bench.account.session.reset();
        bench.account.service.stop();
        GDataEndpoints::setServiceBaseURL(QUrl());
    }
    QDir(home).removeRecursively();
    return status;
}
