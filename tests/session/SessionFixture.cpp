#include "SessionFixture.h"

#include "accounts/TQAccount.h"
#include "model/ContextFetch.h"
#include "model/TQMOCMaster.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/runtime/OperationQueue.h"
#include "platform/store/FetchRequest.h"
#include "platform/system/TQLogger.h"
#include "session/ApplicationServices.h"
#include "support/WaitUntil.h"

namespace tavrel::test {

StateRecorder::StateRecorder(TQSession* session)
{
    connect(session, &TQSession::stateChanged, this, [this](int state) { states.append(state); });
}

void ProgressScreen::progressStatus(int status, float processed, quint64 total, float percentage)
{
    received.append({status, processed, QVariant::fromValue(total), percentage});
}

void SessionTest::SetUp()
{
    TempHomeTest::SetUp();
    TQLogger::resetForTesting();
    localservice::GenerateOptions options;
    options.documents = 6;
    options.collections = 1;
    options.contacts = 2;
    m_service.generate(options);
    QString error;
    ASSERT_TRUE(m_service.start(0, &error)) << error.toStdString();
    GDataEndpoints::setServiceBaseURL(QUrl(m_service.baseUrl()));
    ApplicationServices* services = ApplicationServices::instance();
    services->resetForTesting();
    auto reachability = std::make_unique<SwitchableReachability>();
    m_reachability = reachability.get();
    services->mainApplicationWindowWillShow(std::move(reachability));
    setOnline(true);
}

void SessionTest::TearDown()
{
    m_service.clearFaults();
    ApplicationServices::instance()->resetForTesting();
    m_reachability = nullptr;
    m_service.stop();
    GDataEndpoints::setServiceBaseURL(QUrl());
    TQLogger::resetForTesting();
    TempHomeTest::TearDown();
}

std::shared_ptr<WXAccount> SessionTest::makeAccount(const QString& email) const
{
    auto authentication = OAuth2Authentication::create(OAuth2Configuration(QUrl(m_service.baseUrl())));
    authentication->setKeysForResponseDictionary(
        {{QStringLiteral("access_token"),
          const_cast<localservice::LocalService&>(m_service).issueAccessToken(email)},
         {QStringLiteral("refresh_token"),
          const_cast<localservice::LocalService&>(m_service).issueRefreshToken(email)},
         {QStringLiteral("expires_in"), 3600},
         {QStringLiteral("token_type"), QStringLiteral("Bearer")}});
    authentication->setUserEmail(email);
    return std::make_shared<TQAccount>(authentication);
}

void SessionTest::setOnline(bool online)
{
    m_reachability->report(online ? Reachability::ReachableViaNetwork : Reachability::NotReachable);
}

bool SessionTest::startAndSettle(TQSession& session, int timeoutMs)
{
    session.start();
    return waitUntil([&] { return session.state() != TQSession::kFirstSyncRunning; }, timeoutMs);
}

bool SessionTest::stopSynchronising(TQSession& session)
{
    session.mocManager()->stop();
    return waitUntil(
        [&] {
            return session.queueManager()->heavyQueue()->operationCount() == 0 &&
                   session.queueManager()->lightQueue()->operationCount() == 0;
        },
        10000);
}

int SessionTest::requestCount(const QString& method, const QString& pathPrefix) const
{
    int count = 0;
    for (const localservice::JournalEntry& entry : m_service.journal())
        if (entry.method == method && entry.path.startsWith(pathPrefix))
            ++count;
    return count;
}

int SessionTest::storedDocuments(TQSession& session) const
{
    FetchRequest request(QStringLiteral("FileEntryAbstract"));
    return int(ContextFetch::executeFetchRequestSafely(session.mocManager()->masterMOC(), request).size());
}

} // namespace tavrel::test
