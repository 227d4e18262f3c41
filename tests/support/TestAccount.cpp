#include "TestAccount.h"

#include "SyncRecorder.h"
#include "WaitUntil.h"
#include "accounts/TQAccount.h"
#include "actions/FastCoreDataUpdateOperation.h"
#include "actions/FullCoreDataUpdateOperation.h"
#include "model/FileEntryAbstract.h"
#include "model/TQMOCMaster.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataServiceGoogleContact.h"
#include "platform/gdata/GDataServiceGoogleDocs.h"
#include "platform/store/FetchRequest.h"
#include "platform/system/Settings.h"

namespace tavrel::test {

TestAccount::~TestAccount()
{
    close();
}

localservice::GenerateOptions TestAccount::smallAccount()
{
    localservice::GenerateOptions options;
    options.documents = 6;
    options.collections = 1;
    options.contacts = 2;
    return options;
}

bool TestAccount::startService(const localservice::GenerateOptions& options, QString* error)
{
    service.generate(options);
    return service.start(0, error);
}

void TestAccount::useService() const
{
    GDataEndpoints::setServiceBaseURL(QUrl(service.baseUrl()));
}

void TestAccount::openSession()
{
    authentication = authenticationFor(service.baseUrl(), service.issueAccessToken(),
                                       service.issueRefreshToken(address()), address());
    session = std::make_unique<TQSession>(TQAccount::accountWithAuthToken(authentication));
    // Server errors are retried; tests need not wait seconds for that.
    for (GDataServiceBase* client :
         {static_cast<GDataServiceBase*>(session->documentManager()->gdataManager()->service()),
          static_cast<GDataServiceBase*>(session->contactManager()->gdataManager()->service())}) {
        client->setServiceRetryBaseInterval(0.01);
        client->setServiceMaxRetryInterval(0.02);
    }
}

void TestAccount::close()
{
    // A request held by a fault would keep the session's queues waiting.
    service.clearFaults();
    session.reset();
    service.stop();
}

TQMOCMaster* TestAccount::master() const
{
    return session->mocManager()->masterMOC();
}

std::shared_ptr<OAuth2Authentication> TestAccount::authenticationFor(const QString& baseUrl,
                                                                     const QString& accessToken,
                                                                     const QString& refreshToken,
                                                                     const QString& address)
{
    auto made = OAuth2Authentication::create(OAuth2Configuration(QUrl(baseUrl)));
    made->setKeysForResponseDictionary({{QStringLiteral("access_token"), accessToken},
                                        {QStringLiteral("refresh_token"), refreshToken},
                                        {QStringLiteral("expires_in"), 3600},
                                        {QStringLiteral("token_type"), QStringLiteral("Bearer")}});
    made->setUserEmail(address);
    return made;
}

std::shared_ptr<WXAccount> TestAccount::accountFor(const QString& address)
{
    return std::make_shared<TQAccount>(authenticationFor(service.baseUrl(), service.issueAccessToken(address),
                                                         service.issueRefreshToken(address), address));
}

void TestAccount::schedule(const TQOperationPtr& operation, SyncRecorder& recorder)
{
    useService();
    operation->setCallback(
        Invocation::invocationForSelector(QStringLiteral("synchronisationDidFinishWithError:"), &recorder));
    session->queueManager()->scheduleOperation(operation);
}

bool TestAccount::run(const TQOperationPtr& operation, SyncRecorder& recorder, int timeoutMs)
{
    const int before = recorder.calls;
    schedule(operation, recorder);
    // Progress reports queued before the callback have arrived too: they were posted first. The operation
    // still tells its progress consumer (the recorder, which the caller may destroy on return) that it ended
    // after the callback, so wait for it to leave its worker too.
    return waitUntil([&] { return recorder.calls > before && !operation->isExecuting(); }, timeoutMs);
}

bool TestAccount::runFull(SyncRecorder& recorder, QObject* delegate, int timeoutMs)
{
    auto operation = FullCoreDataUpdateOperation::operationWithSession(session.get());
    operation->setDelegate(delegate);
    operation->setProgressConsumer(&recorder);
    return run(operation, recorder, timeoutMs);
}

bool TestAccount::runFast(SyncRecorder& recorder, QObject* delegate, int timeoutMs)
{
    auto operation = FastCoreDataUpdateOperation::operationWithSession(session.get());
    operation->setDelegate(delegate);
    return run(operation, recorder, timeoutMs);
}

qint64 TestAccount::count(const QString& entity) const
{
    return master()->countForFetchRequest(FetchRequest(entity));
}

QStringList TestAccount::storedResourceIds() const
{
    QStringList ids;
    for (const auto& record :
         master()->executeFetchRequest(FetchRequest(QStringLiteral("FileEntryAbstract"))))
        if (const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record))
            ids.append(entry->resourceId());
    ids.sort();
    return ids;
}

QVariant TestAccount::storedChangestamp() const
{
    return Settings::value(QStringLiteral("TQlargestChangestamp") + address());
}

QList<localservice::JournalEntry> TestAccount::requests(const QString& method,
                                                        const QString& pathPrefix) const
{
    QList<localservice::JournalEntry> matching;
    for (const localservice::JournalEntry& entry : service.journal())
        if (entry.method == method && entry.path.startsWith(pathPrefix))
            matching.append(entry);
    return matching;
}

} // namespace tavrel::test
