#include "ReliabilityFixture.h"

#include "actions/FastCoreDataUpdateOperation.h"
#include "actions/FullCoreDataUpdateOperation.h"
#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "model/TQMOCMaster.h"
#include "pipeline/TQActionRequester.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataServiceGoogleContact.h"
#include "platform/gdata/GDataServiceGoogleDocs.h"
#include "platform/system/Settings.h"
#include "platform/system/TQLogger.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

namespace tavrel::test {

void SyncCallback::synchronisationDidFinishWithError(const QVariant& answer)
{
    error = TQActionRequester::errorFromVariant(answer);
    ++calls;
}

TQMOCMaster* Account::master() const
{
    return session->mocManager()->masterMOC();
}

void ReliabilityTest::SetUp()
{
    TempHomeTest::SetUp();
    TQLogger::resetForTesting();
}

void ReliabilityTest::TearDown()
{
    GDataEndpoints::setServiceBaseURL(QUrl());
    TQLogger::resetForTesting();
    TempHomeTest::TearDown();
}

void ReliabilityTest::startService(Account& account, const localservice::GenerateOptions& options)
{
    account.service.generate(options);
    QString error;
    ASSERT_TRUE(account.service.start(0, &error)) << error.toStdString();
}

std::shared_ptr<OAuth2Authentication> ReliabilityTest::authenticationFor(const QString& baseUrl,
                                                                         const QString& accessToken,
                                                                         const QString& refreshToken,
                                                                         const QString& address)
{
    auto authentication = OAuth2Authentication::create(OAuth2Configuration(QUrl(baseUrl)));
    authentication->setKeysForResponseDictionary({{QStringLiteral("access_token"), accessToken},
                                                  {QStringLiteral("refresh_token"), refreshToken},
                                                  {QStringLiteral("expires_in"), 3600},
                                                  {QStringLiteral("token_type"), QStringLiteral("Bearer")}});
    authentication->setUserEmail(address);
    return authentication;
}

void ReliabilityTest::openSession(Account& account)
{
    account.authentication =
        authenticationFor(account.service.baseUrl(), account.service.issueAccessToken(),
                          account.service.issueRefreshToken(account.address()), account.address());
    account.session = std::make_unique<ActionTestSession>(account.authentication, account.address());
    // Server errors are retried; tests need not wait seconds for that.
    for (GDataServiceBase* service :
         {static_cast<GDataServiceBase*>(account.session->documentManager()->gdataManager()->service()),
          static_cast<GDataServiceBase*>(account.session->contactManager()->gdataManager()->service())}) {
        service->setServiceRetryBaseInterval(0.01);
        service->setServiceMaxRetryInterval(0.02);
    }
}

void ReliabilityTest::useService(const Account& account)
{
    GDataEndpoints::setServiceBaseURL(QUrl(account.service.baseUrl()));
}

namespace {

bool run(Account& account, const std::shared_ptr<TQOperation>& operation, SyncCallback& callback)
{
    operation->setCallback(
        Invocation::invocationForSelector(QStringLiteral("synchronisationDidFinishWithError:"), &callback));
    const int before = callback.calls;
    account.session->queueManager()->scheduleOperation(operation);
    return waitUntil([&] { return callback.calls > before; }, 60000);
}

} // namespace

bool ReliabilityTest::runFull(Account& account, SyncCallback& callback)
{
    useService(account);
    auto operation = FullCoreDataUpdateOperation::operationWithSession(account.session.get());
    operation->setDelegate(account.master());
    return run(account, operation, callback);
}

bool ReliabilityTest::runFast(Account& account, SyncCallback& callback)
{
    useService(account);
    auto operation = FastCoreDataUpdateOperation::operationWithSession(account.session.get());
    operation->setDelegate(account.master());
    return run(account, operation, callback);
}

qint64 ReliabilityTest::count(TQMOCMaster* master, const QString& entity)
{
    return master->countForFetchRequest(FetchRequest(entity));
}

QStringList ReliabilityTest::storedResourceIds(TQMOCMaster* master)
{
    QStringList ids;
    for (const auto& record : master->executeFetchRequest(FetchRequest(QStringLiteral("FileEntryAbstract"))))
        if (const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record))
            ids.append(entry->resourceId());
    return sorted(ids);
}

QMap<QString, QStringList> ReliabilityTest::storedAccess(TQMOCMaster* master)
{
    QMap<QString, QStringList> access;
    for (const auto& record :
         master->executeFetchRequest(FetchRequest(QStringLiteral("FileEntryAbstract")))) {
        const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
        if (!entry)
            continue;
        QStringList lines;
        const auto add = [&](const QString& role, const QList<std::shared_ptr<Mail>>& mails) {
            for (const auto& mail : mails)
                lines.append(role + QLatin1Char(' ') + mail->address());
        };
        add(QStringLiteral("writer"), entry->editors());
        add(QStringLiteral("reader"), entry->viewers());
        add(QStringLiteral("commenter"), entry->commenters());
        lines = sorted(lines);
        lines.prepend(QStringLiteral("owner ") + (entry->owner() ? entry->owner()->address() : QString()));
        access.insert(entry->resourceId(), lines);
    }
    return access;
}

QStringList ReliabilityTest::sorted(QStringList list)
{
    list.sort();
    return list;
}

QVariant ReliabilityTest::storedChangestamp(const QString& address)
{
    return Settings::value(QStringLiteral("TQlargestChangestamp") + address);
}

} // namespace tavrel::test
