// The full synchronisation of a large account, an idle incremental one and one of 100 changes, against
// the local service on 127.0.0.1, with the store in a temporary home. Prints one "name: value" per line.
// Arguments: documents collections contacts (default 20000 200 2000).
#include "LocalService.h"
#include "actions/ContactManager.h"
#include "actions/DocumentManager.h"
#include "actions/FastCoreDataUpdateOperation.h"
#include "actions/FullCoreDataUpdateOperation.h"
#include "model/TQMOCManager.h"
#include "model/TQMOCMaster.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/OAuth2Authentication.h"
#include "platform/store/FetchRequest.h"
#include "session/TQQueueManager.h"
#include "session/TQSessionContexts.h"
#include "session/TQSessionProtocol.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

using namespace tavrel;

namespace {

class BenchSession : public TQSessionProtocol
{
public:
    BenchSession(std::shared_ptr<GDataAuthorizer> authentication, const QString& username)
        : m_authentication(std::move(authentication))
    {
        m_account.setProperty("username", username);
        m_mocManager = TQMOCManager::mocManagerWithSession(&m_account);
        m_queueManager = std::make_unique<TQQueueManager>(this);
        m_documentManager = DocumentManager::managerWithSession(this);
        m_contactManager = ContactManager::managerWithSession(this);
    }
    ~BenchSession() override
    {
        m_queueManager.reset();
        m_documentManager.reset();
        m_contactManager.reset();
        m_mocManager.reset();
    }
    TQQueueManager* queueManager() const override { return m_queueManager.get(); }
    std::shared_ptr<GDataAuthorizer> authentication() const override { return m_authentication; }
    TQMOCManager* mocManager() const override { return m_mocManager.get(); }
    VUvodozuManager* documentManager() const override { return m_documentManager.get(); }
    VUvodozuManager* contactManager() const override { return m_contactManager.get(); }
    QVariant managedObjectContextForCurrentThread() override
    {
        return TQSessionContexts::managedObjectContextForCurrentThread(m_mocManager.get());
    }
    QVariant masterManagedObjectContext() override
    {
        return TQSessionContexts::masterManagedObjectContext(m_mocManager.get());
    }
    bool isManagedObjectContext(const QVariant& value) const override
    {
        return TQSessionContexts::isManagedObjectContext(value);
    }
    QVariant fetchEntitiesFromObject(const QVariant& context, const QVariant& object,
                                     QVariant* source) override
    {
        return TQSessionContexts::fetchEntitiesFromObject(context, object, source);
    }

private:
    QObject m_account;
    std::shared_ptr<GDataAuthorizer> m_authentication;
    std::unique_ptr<TQMOCManager> m_mocManager;
    std::unique_ptr<TQQueueManager> m_queueManager;
    std::unique_ptr<DocumentManager> m_documentManager;
    std::unique_ptr<ContactManager> m_contactManager;
};

class Waiter : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void didFinishWithError(const QVariant& error)
    {
        failed = error.isValid();
        done = true;
    }
    bool done = false;
    bool failed = false;
};

qint64 run(BenchSession& session, const std::shared_ptr<TQOperation>& operation, Waiter& waiter)
{
    waiter.done = false;
    operation->setCallback(Invocation::invocationForSelector(QStringLiteral("didFinishWithError:"), &waiter));
    QElapsedTimer timer;
    timer.start();
    session.queueManager()->scheduleOperation(operation);
    while (!waiter.done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return timer.elapsed();
}

long peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"})
        qputenv(name, (home.path() + QLatin1Char('/') + QString::fromLatin1(name)).toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    localservice::LocalService service;
    localservice::GenerateOptions options;
    options.documents = argc > 1 ? std::atoi(argv[1]) : 20000;
    options.collections = argc > 2 ? std::atoi(argv[2]) : 200;
    options.contacts = argc > 3 ? std::atoi(argv[3]) : 2000;
    service.generate(options);
    service.start();
    GDataEndpoints::setServiceBaseURL(QUrl(service.baseUrl()));
    auto authentication = OAuth2Authentication::create(OAuth2Configuration(QUrl(service.baseUrl())));
    authentication->setKeysForResponseDictionary(
        {{QStringLiteral("access_token"), service.issueAccessToken()},
         {QStringLiteral("refresh_token"), service.issueRefreshToken(service.ownerEmail())},
         {QStringLiteral("expires_in"), 3600},
         {QStringLiteral("token_type"), QStringLiteral("Bearer")}});
    authentication->setUserEmail(service.ownerEmail());

    {
        BenchSession session(authentication, service.ownerEmail());
        Waiter waiter;
        const qint64 full = run(session, FullCoreDataUpdateOperation::operationWithSession(&session), waiter);
        std::printf("full_sync_ms: %lld%s\n", static_cast<long long>(full), waiter.failed ? " (failed)" : "");
        std::printf("full_sync_documents_per_s: %.0f\n",
                    full > 0 ? (options.documents + options.collections) * 1000.0 / double(full) : 0.0);
        std::printf("stored_entries: %lld\n",
                    static_cast<long long>(session.mocManager()->masterMOC()->countForFetchRequest(
                        FetchRequest(QStringLiteral("FileEntryAbstract")))));
        std::printf("peak_memory_mb: %ld\n", peakMegabytes());

        const qint64 again =
            run(session, FullCoreDataUpdateOperation::operationWithSession(&session), waiter);
        std::printf("full_sync_unchanged_ms: %lld\n", static_cast<long long>(again));

        // The first incremental run learns nothing new; then idle runs, the best and the worst of five.
        run(session, FastCoreDataUpdateOperation::operationWithSession(&session), waiter);
        qint64 best = -1;
        qint64 worst = 0;
        for (int i = 0; i < 5; ++i) {
            const qint64 idle =
                run(session, FastCoreDataUpdateOperation::operationWithSession(&session), waiter);
            best = best < 0 ? idle : std::min(best, idle);
            worst = std::max(worst, idle);
        }
        std::printf("idle_incremental_ms: %lld (worst %lld)%s\n", static_cast<long long>(best),
                    static_cast<long long>(worst), waiter.failed ? " (failed)" : "");

        const QStringList ids = service.documentIds();
        for (int i = 0; i < 100 && i < ids.size(); ++i)
            service.renameDocument(ids.at(ids.size() - 1 - i), QStringLiteral("Changed %1").arg(i));
        const qint64 changes =
            run(session, FastCoreDataUpdateOperation::operationWithSession(&session), waiter);
        std::printf("incremental_100_changes_ms: %lld%s\n", static_cast<long long>(changes),
                    waiter.failed ? " (failed)" : "");
    }
    service.stop();
    return 0;
}

#include "SyncBench.moc"
