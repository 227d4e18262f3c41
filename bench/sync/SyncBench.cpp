// Full synchronisation of a large generated account served by tavrel-localservice in a process of its
// own, so that peak_rss_mb is the client's alone, against a raw baseline (the same pages fetched with a
// plain HTTP client, walked with pugixml and written with plain SQLite) run in a process of its own too;
// then incremental synchronisations with no change and with 100 changes made on the service by someone
// else. Figures on stdout, diagnostics on stderr.
// Arguments: [documents] [collections] [contacts]  (default 20000 200 2000).
// The service program is looked for beside the build's tools/localservice, or at $TAVREL_LOCALSERVICE.
#include "RawBaseline.h"
#include "accounts/TQAccount.h"
#include "actions/FastCoreDataUpdateOperation.h"
#include "actions/FullCoreDataUpdateOperation.h"
#include "actions/gddmhFileList.h"
#include "model/TQMOCMaster.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataQueryContact.h"
#include "platform/gdata/GDataQueryDocs.h"
#include "platform/store/FetchRequest.h"
#include "session/TQSession.h"
#include "support/BenchHome.h"
#include "support/SyncRecorder.h"
#include "support/TestAccount.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
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
    const QString root = bench::makeHome(QStringLiteral("sync"));
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

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The first page of each feed the full synchronisation reads, as its handlers ask for them.
QStringList firstPageTargets()
{
    GDataQueryContact contacts = GDataQueryContact::contactQueryWithFeedURL(GDataEndpoints::contactFeedURL());
    contacts.setMaxResults(gddmhFileList::kPageSize);
    GDataQueryDocs documents =
        GDataQueryDocs::documentQueryWithFeedURL(GDataEndpoints::docsExpandACLFeedURL());
    documents.setShouldShowFolders(true);
    documents.setShouldShowDeleted(true);
    documents.setMaxResults(gddmhFileList::kPageSize);
    QStringList targets;
    for (const QUrl& url : {contacts.URL(), documents.URL()})
        targets.append(QString::fromUtf8(url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority)));
    return targets;
}

// tavrel-localservice with its console on the standard streams.
class ServiceProcess
{
public:
    ~ServiceProcess()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.closeWriteChannel(); // the console ends the service when its input closes
        if (!m_process.waitForFinished(30000)) {
            m_process.kill();
            m_process.waitForFinished(30000);
        }
    }

    bool start(int documents, int collections, int contacts)
    {
        QString program = qEnvironmentVariable("TAVREL_LOCALSERVICE");
        if (program.isEmpty())
            program = QCoreApplication::applicationDirPath() +
                      QStringLiteral("/../tools/localservice/tavrel-localservice");
        if (!QFileInfo(program).isExecutable()) {
            std::fprintf(stderr, "no service program at %s\n", qPrintable(program));
            return false;
        }
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(program, {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--seed"),
                                  QStringLiteral("demo"), QStringLiteral("--documents"),
                                  QString::number(documents), QStringLiteral("--collections"),
                                  QString::number(collections), QStringLiteral("--contacts"),
                                  QString::number(contacts), QStringLiteral("--console")});
        if (!m_process.waitForStarted(30000))
            return false;
        baseUrl = QString::fromUtf8(readLine(600000));
        ownerEmail = QString::fromUtf8(readLine(30000));
        return QUrl(baseUrl).port() > 0 && !ownerEmail.isEmpty();
    }

    // The answer's lines.
    QByteArrayList command(const QByteArray& line)
    {
        m_process.write(line + '\n');
        QByteArrayList lines;
        for (;;) {
            const QByteArray answer = readLine(600000);
            if (answer == "." || m_process.state() == QProcess::NotRunning)
                return lines;
            lines.append(answer);
        }
    }
    QByteArray value(const QByteArray& line) { return command(line).value(0); }

    QString baseUrl;
    QString ownerEmail;

private:
    QByteArray readLine(int timeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!m_process.canReadLine()) {
            if (m_process.state() == QProcess::NotRunning || deadline.hasExpired() ||
                !m_process.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime()))))
                if (!m_process.canReadLine())
                    return {};
        }
        return m_process.readLine().trimmed();
    }

    QProcess m_process;
};

struct BaselineFigures
{
    bool ok = false;
    QMap<QString, double> values;
};

// The raw baseline in a process of its own (this program with --baseline), so that its memory is
// measured apart from the client's.
BaselineFigures runBaseline(quint16 port, const QByteArray& token, const QStringList& firstPages,
                            const QString& database)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--baseline"), QString::number(port), QString::fromUtf8(token), database});
    BaselineFigures figures;
    if (!child.waitForStarted(30000))
        return figures;
    child.write(firstPages.join(QLatin1Char('\n')).toUtf8() + '\n');
    child.closeWriteChannel();
    if (!child.waitForFinished(1800000))
        return figures;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            figures.values.insert(QString::fromUtf8(line.left(colon)),
                                  line.mid(colon + 1).trimmed().toDouble());
    }
    figures.ok = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    return figures;
}

int baselineChild(int argc, char** argv)
{
    if (argc < 5)
        return 2;
    QStringList firstPages;
    char line[8192];
    while (std::fgets(line, sizeof line, stdin))
        if (const QString target = QString::fromUtf8(line).trimmed(); !target.isEmpty())
            firstPages.append(target);
    const RawBaseline::Result result = RawBaseline::run(
        quint16(std::atoi(argv[2])), QString::fromUtf8(argv[3]), firstPages, QString::fromLocal8Bit(argv[4]));
    std::printf("seconds: %.4f\nfetch: %.4f\nparse: %.4f\ninsert: %.4f\nbytes: %lld\ndocuments: %d\n"
                "contacts: %d\npages: %d\npeak_kb: %ld\n",
                result.seconds, result.fetchSeconds, result.parseSeconds, result.insertSeconds, result.bytes,
                result.documents, result.contacts, result.pages, bench::peakRssKb());
    return result.ok ? 0 : 1;
}

struct Client
{
    std::unique_ptr<TQSession> session;
    test::SyncRecorder requester;

    // Milliseconds from scheduling to the callback; negative when it failed or never called back.
    double run(const std::shared_ptr<TQOperation>& operation)
    {
        const int before = requester.calls;
        operation->setCallback(Invocation::invocationForSelector(
            QStringLiteral("synchronisationDidFinishWithError:"), &requester));
        const auto start = std::chrono::steady_clock::now();
        session->queueManager()->scheduleOperation(operation);
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
    double runFull() { return run(FullCoreDataUpdateOperation::operationWithSession(session.get())); }
    double runFast() { return run(FastCoreDataUpdateOperation::operationWithSession(session.get())); }
    qint64 count(const QString& entity)
    {
        return session->mocManager()->masterMOC()->countForFetchRequest(FetchRequest(entity));
    }
};

int journalSize(ServiceProcess& service)
{
    return int(service.command("journal").size());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--baseline") == 0)
        return baselineChild(argc, argv);
    const QString home = makeHome();
    if (home.isEmpty()) {
        std::fprintf(stderr, "no temporary home\n");
        return 1;
    }
    int status = 0;
    {
        QGuiApplication app(argc, argv);
        const int documents = argc > 1 ? std::atoi(argv[1]) : 20000;
        const int collections = argc > 2 ? std::atoi(argv[2]) : 200;
        const int contacts = argc > 3 ? std::atoi(argv[3]) : 2000;

        ServiceProcess service;
        QElapsedTimer timer;
        timer.start();
        if (!service.start(documents, collections, contacts)) {
            std::fprintf(stderr, "the service did not start\n");
            return 1;
        }
        std::fprintf(stderr, "service of %d documents, %d collections, %d contacts up in %lld ms at %s\n",
                     documents, collections, contacts, static_cast<long long>(timer.elapsed()),
                     qPrintable(service.baseUrl));
        GDataEndpoints::setServiceBaseURL(QUrl(service.baseUrl));
        const quint16 port = quint16(QUrl(service.baseUrl).port());
        const QByteArray token = service.value("token");
        const QStringList firstPages = firstPageTargets();

        // Every entry once through the service, so that neither side pays for its first serialisation.
        if (!runBaseline(port, token, firstPages, home + QStringLiteral("/tmp/warm.sqlite")).ok)
            std::fprintf(stderr, "warming the service failed\n");

        Client client;
        client.session =
            std::make_unique<TQSession>(TQAccount::accountWithAuthToken(test::TestAccount::authenticationFor(
                service.baseUrl, QString::fromUtf8(token), QString::fromUtf8(service.value("refresh-token")),
                service.ownerEmail)));

        // Full synchronisation.
        service.command("clear-journal");
        const double fullMs = client.runFull();
        const long peakKb = bench::peakRssKb();
        if (fullMs < 0) {
            std::fprintf(stderr, "full synchronisation did not finish\n");
            status = 1;
        }
        const qint64 files = client.count(QStringLiteral("File"));
        const qint64 categories = client.count(QStringLiteral("Category"));
        const qint64 storedContacts = client.count(QStringLiteral("Contact"));
        std::fprintf(stderr,
                     "stored %lld files, %lld collections, %lld contacts, %lld mails, %lld permissions\n",
                     static_cast<long long>(files), static_cast<long long>(categories),
                     static_cast<long long>(storedContacts),
                     static_cast<long long>(client.count(QStringLiteral("Mail"))),
                     static_cast<long long>(client.count(QStringLiteral("GeneralACLPermission"))));
        const QByteArrayList journal = service.command("journal");
        for (const QByteArray& line : journal)
            std::fprintf(stderr, "  %s\n", line.left(140).constData());
        for (const QString& target : firstPages)
            if (!std::any_of(journal.cbegin(), journal.cend(),
                             [&](const QByteArray& line) { return line.endsWith(' ' + target.toUtf8()); }))
                std::fprintf(stderr, "the synchronisation did not ask for %s\n", qPrintable(target));

        // The baseline over the same pages.
        const BaselineFigures baseline =
            runBaseline(port, token, firstPages, home + QStringLiteral("/tmp/baseline.sqlite"));
        if (!baseline.ok)
            status = 1;
        const double baselineS = baseline.values.value(QStringLiteral("seconds"));
        std::fprintf(
            stderr,
            "baseline: %.0f pages, %.1f MB, %.0f documents, %.0f contacts: %.2f s (fetch %.2f, parse "
            "%.2f, walk and insert %.2f)\n",
            baseline.values.value(QStringLiteral("pages")),
            baseline.values.value(QStringLiteral("bytes")) / 1e6,
            baseline.values.value(QStringLiteral("documents")),
            baseline.values.value(QStringLiteral("contacts")), baselineS,
            baseline.values.value(QStringLiteral("fetch")), baseline.values.value(QStringLiteral("parse")),
            baseline.values.value(QStringLiteral("insert")));
        const double fullS = fullMs / 1000.0;
        const qint64 entries = files + categories + storedContacts;
        std::printf("full_sync_s: %.2f\n", fullS);
        std::printf("entries_per_s: %.0f\n", fullS > 0 ? entries / fullS : 0.0);
        std::printf("baseline_s: %.2f\n", baselineS);
        std::printf("ratio_to_baseline: %.2f\n", baselineS > 0 ? fullS / baselineS : 0.0);
        std::printf("peak_rss_mb: %.0f\n", peakKb / 1024.0);
        std::printf("baseline_peak_rss_mb: %.0f\n",
                    baseline.values.value(QStringLiteral("peak_kb")) / 1024.0);
        std::fflush(stdout);

        // Incremental synchronisation with nothing changed.
        std::vector<double> idle;
        int idleRequests = 0;
        const int idleRuns = qEnvironmentVariableIsSet("TAVREL_BENCH_IDLE_RUNS")
                                 ? qEnvironmentVariableIntValue("TAVREL_BENCH_IDLE_RUNS")
                                 : 7;
        for (int i = 0; i < idleRuns; ++i) {
            service.command("clear-journal");
            const double ms = client.runFast();
            idleRequests = journalSize(service);
            std::fprintf(stderr, "idle run %d: %.2f ms, %d requests\n", i, ms, idleRequests);
            idle.push_back(ms);
        }
        for (const QByteArray& line : service.command("journal"))
            std::fprintf(stderr, "  %s\n", line.constData());
        std::printf("idle_requests: %d\n", idleRequests);
        std::printf("idle_ms: %.2f\n", median(idle));
        std::fflush(stdout);

        // 100 changes by someone else, then one incremental synchronisation; three rounds.
        std::vector<double> changes;
        QByteArrayList ids;
        for (const QByteArray& id : service.command("ids"))
            if (!id.startsWith("folder:"))
                ids.append(id);
        int next = 0;
        for (int round = 0; round < 3 && ids.size() > 400; ++round) {
            for (int i = 0; i < 40; ++i)
                service.command("rename " + ids.at(next++) + " Renamed " + QByteArray::number(round) + ' ' +
                                QByteArray::number(i));
            for (int i = 0; i < 20; ++i)
                service.command("add Added " + QByteArray::number(round) + ' ' + QByteArray::number(i));
            for (int i = 0; i < 20; ++i)
                service.command("trash " + ids.at(next++));
            for (int i = 0; i < 10; ++i)
                service.command("share " + ids.at(next++) + " someone" + QByteArray::number(i) +
                                "@tavrel.test reader");
            for (int i = 0; i < 10; ++i)
                service.command("delete " + ids.at(next++));
            service.command("clear-journal");
            const double ms = client.runFast();
            std::fprintf(stderr, "100 changes, round %d: %.2f ms, %d requests\n", round, ms,
                         journalSize(service));
            changes.push_back(ms);
        }
        const qint64 stored = client.count(QStringLiteral("FileEntryAbstract"));
        std::fprintf(stderr, "after the changes: %lld stored, %lld on the service\n",
                     static_cast<long long>(stored), static_cast<long long>(service.command("ids").size()));
        std::printf("changes100_ms: %.2f\n", median(changes));
        std::fflush(stdout);

        client.session.reset();
        GDataEndpoints::setServiceBaseURL(QUrl());
    }
    QDir(home).removeRecursively();
    return status;
}
