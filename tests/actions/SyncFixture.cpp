#include "SyncFixture.h"

#include "actions/FastCoreDataUpdateOperation.h"
#include "actions/FullCoreDataUpdateOperation.h"
#include "model/FileEntryAbstract.h"
#include "model/TQMOCMaster.h"
#include "pipeline/TQActionRequester.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataServiceGoogleContact.h"
#include "platform/gdata/GDataServiceGoogleDocs.h"
#include "platform/store/PersistentStoreCoordinator.h"
#include "platform/system/Settings.h"
#include "platform/system/TQLogger.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace tavrel::test {

void SyncRequester::progressStatus(int status, float processed, quint64 total, float percentage)
{
    reports.append({status, processed, total, percentage});
}

void SyncRequester::synchronisationDidFinishWithError(const QVariant& answer)
{
    error = TQActionRequester::errorFromVariant(answer);
    ++calls;
}

void SyncTest::SetUp()
{
    TempHomeTest::SetUp();
    TQLogger::resetForTesting();
}

void SyncTest::startService(const localservice::GenerateOptions& options)
{
    m_service.generate(options);
    QString error;
    ASSERT_TRUE(m_service.start(0, &error)) << error.toStdString();
    GDataEndpoints::setServiceBaseURL(QUrl(m_service.baseUrl()));
    m_authentication = OAuth2Authentication::create(OAuth2Configuration(QUrl(m_service.baseUrl())));
    m_authentication->setKeysForResponseDictionary(
        {{QStringLiteral("access_token"), m_service.issueAccessToken()},
         {QStringLiteral("refresh_token"), m_service.issueRefreshToken(m_service.ownerEmail())},
         {QStringLiteral("expires_in"), 3600},
         {QStringLiteral("token_type"), QStringLiteral("Bearer")}});
    m_authentication->setUserEmail(m_service.ownerEmail());
    m_session = std::make_unique<TQSession>(TQAccount::accountWithAuthToken(m_authentication));
    // Server errors are retried; tests need not wait seconds for that.
    for (GDataServiceBase* service :
         {static_cast<GDataServiceBase*>(m_session->documentManager()->gdataManager()->service()),
          static_cast<GDataServiceBase*>(m_session->contactManager()->gdataManager()->service())}) {
        service->setServiceRetryBaseInterval(0.01);
        service->setServiceMaxRetryInterval(0.02);
    }
}

void SyncTest::TearDown()
{
    m_service.clearFaults();
    m_session.reset();
    m_service.stop();
    GDataEndpoints::setServiceBaseURL(QUrl());
    TQLogger::resetForTesting();
    TempHomeTest::TearDown();
}

TQMOCMaster* SyncTest::master() const
{
    return m_session->mocManager()->masterMOC();
}

bool SyncTest::runFull(SyncRequester& requester, QObject* delegate)
{
    auto operation = FullCoreDataUpdateOperation::operationWithSession(m_session.get());
    operation->setDelegate(delegate);
    operation->setProgressConsumer(&requester);
    return run(operation, requester);
}

bool SyncTest::runFast(SyncRequester& requester, QObject* delegate)
{
    auto operation = FastCoreDataUpdateOperation::operationWithSession(m_session.get());
    operation->setDelegate(delegate);
    return run(operation, requester);
}

bool SyncTest::run(const std::shared_ptr<TQOperation>& operation, SyncRequester& requester)
{
    operation->setCallback(
        Invocation::invocationForSelector(QStringLiteral("synchronisationDidFinishWithError:"), &requester));
    const int before = requester.calls;
    m_session->queueManager()->scheduleOperation(operation);
    const bool called = waitUntil([&] { return requester.calls > before; }, 20000);
    // Progress reports queued before the callback have arrived too: they were posted first.
    return called;
}

qint64 SyncTest::count(const QString& entity) const
{
    return master()->countForFetchRequest(FetchRequest(entity));
}

QStringList SyncTest::storedResourceIds() const
{
    QStringList ids;
    for (const auto& record :
         master()->executeFetchRequest(FetchRequest(QStringLiteral("FileEntryAbstract"))))
        if (const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record))
            ids.append(entry->resourceId());
    ids.sort();
    return ids;
}

QStringList SyncTest::serviceResourceIds() const
{
    QStringList ids = m_service.documentIds();
    ids.sort();
    return ids;
}

QVariant SyncTest::storedChangestamp() const
{
    return Settings::value(QStringLiteral("TQlargestChangestamp") + m_service.ownerEmail());
}

QList<localservice::JournalEntry> SyncTest::requests(const QString& method, const QString& pathPrefix) const
{
    QList<localservice::JournalEntry> matching;
    for (const localservice::JournalEntry& entry : m_service.journal())
        if (entry.method == method && entry.path.startsWith(pathPrefix))
            matching.append(entry);
    return matching;
}

namespace {

bool execute(const QString& path, const QString& sql, QStringList* rows = nullptr)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        return false;
    const auto collect = [](void* out, int columns, char** values, char**) {
        if (out && columns > 0 && values[0])
            static_cast<QStringList*>(out)->append(QString::fromUtf8(values[0]));
        return 0;
    };
    const bool ok = sqlite3_exec(db, sql.toUtf8().constData(), collect, rows, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

} // namespace

void SyncTest::breakStoreWrites()
{
    const QString path = m_session->mocManager()->persistentStoreCoordinator()->storePath();
    QStringList tables;
    ASSERT_TRUE(
        execute(path,
                QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                               "'sqlite_%'"),
                &tables));
    for (const QString& table : std::as_const(tables)) {
        for (const QString& action :
             {QStringLiteral("INSERT"), QStringLiteral("UPDATE"), QStringLiteral("DELETE")}) {
            const QString trigger = QStringLiteral("test_fail_%1_%2").arg(action.toLower(), table);
            ASSERT_TRUE(execute(path, QStringLiteral("CREATE TRIGGER \"%1\" BEFORE %2 ON \"%3\" BEGIN SELECT "
                                                     "RAISE(ABORT, 'disk refused the write'); END")
                                          .arg(trigger, action, table)));
            m_triggers.append(trigger);
        }
    }
}

void SyncTest::repairStoreWrites()
{
    const QString path = m_session->mocManager()->persistentStoreCoordinator()->storePath();
    for (const QString& trigger : std::as_const(m_triggers))
        execute(path, QStringLiteral("DROP TRIGGER IF EXISTS \"%1\"").arg(trigger));
    m_triggers.clear();
}

} // namespace tavrel::test
