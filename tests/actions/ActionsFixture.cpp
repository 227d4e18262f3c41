#include "ActionsFixture.h"

#include "model/TQMOCMaster.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataFeedBase.h"
#include "platform/gdata/GDataServiceGoogleDocs.h"
#include "platform/system/TQLogger.h"
#include "support/WaitUntil.h"

namespace tavrel::test {

void ActionRequester::actionDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    if (onCallback)
        onCallback(result);
    {
        std::lock_guard lock(m_mutex);
        m_result = result;
        m_error = error.metaType() == QMetaType::fromType<Error>() ? error.value<Error>() : Error();
        m_thread = QThread::currentThread();
    }
    ++m_calls;
}

InvocationPtr ActionRequester::callback()
{
    return Invocation::invocationForSelector(QStringLiteral("actionDidFinishWithResult:error:"), this);
}

QVariant ActionRequester::result() const
{
    std::lock_guard lock(m_mutex);
    return m_result;
}

Error ActionRequester::error() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

QThread* ActionRequester::thread() const
{
    std::lock_guard lock(m_mutex);
    return m_thread;
}

void ActionsTest::SetUp()
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

    m_authentication = OAuth2Authentication::create(OAuth2Configuration(QUrl(m_service.baseUrl())));
    m_authentication->setKeysForResponseDictionary(
        {{QStringLiteral("access_token"), m_service.issueAccessToken()},
         {QStringLiteral("refresh_token"), m_service.issueRefreshToken(m_service.ownerEmail())},
         {QStringLiteral("expires_in"), 3600},
         {QStringLiteral("token_type"), QStringLiteral("Bearer")}});
    m_authentication->setUserEmail(m_service.ownerEmail());
    m_session = std::make_unique<TQSession>(TQAccount::accountWithAuthToken(m_authentication));
    // Server errors are retried; tests need not wait seconds for that.
    documents()->gdataManager()->service()->setServiceRetryBaseInterval(0.01);
    documents()->gdataManager()->service()->setServiceMaxRetryInterval(0.02);
    fillStore();
    m_service.clearJournal();
}

void ActionsTest::TearDown()
{
    m_service.clearFaults();
    m_session.reset();
    m_service.stop();
    GDataEndpoints::setServiceBaseURL(QUrl());
    TQLogger::resetForTesting();
    TempHomeTest::TearDown();
}

TQMOCMaster* ActionsTest::master() const
{
    return m_session->mocManager()->masterMOC();
}

std::shared_ptr<FileEntryAbstract> ActionsTest::record(const QString& resourceId) const
{
    return FileEntryAbstract::fileEntryAbstractWithIdentifier(
        FileEntryAbstract::identifierFromGDataResourceId(resourceId), master());
}

// The account's documents as records of the master context, as the first synchronisation leaves them.
void ActionsTest::fillStore()
{
    GDataServiceGoogleDocs service;
    service.setAuthorizer(m_authentication);
    GDataFeedPtr feed;
    bool done = false;
    QUrl url = GDataEndpoints::docsExpandACLFeedURL();
    url.setQuery(QStringLiteral("showfolders=true"));
    service.fetchFeedWithURL(url,
                             [&](const GDataServiceTicketPtr&, const GDataObjectPtr& object, const Error&) {
                                 feed = std::dynamic_pointer_cast<GDataFeedBase>(object);
                                 done = true;
                             });
    ASSERT_TRUE(waitUntil([&] { return done; }, 10000));
    ASSERT_TRUE(feed);
    QList<QPair<std::shared_ptr<FileEntryAbstract>, GDataEntryPtr>> filled;
    for (const GDataEntryPtr& base : feed->entries()) {
        const auto entry = std::dynamic_pointer_cast<GDataEntryDocBase>(base);
        ASSERT_TRUE(entry);
        const bool folder = entry->resourceID().startsWith(QLatin1String("folder:"));
        const auto stored = master()->insertNewObject<FileEntryAbstract>(folder ? QStringLiteral("Category")
                                                                                : QStringLiteral("File"));
        stored->fillAttributeFromGDataEntry(entry);
        filled.append({stored, entry});
        if (!folder)
            m_documentIds.append(entry->resourceID());
    }
    // Relationships once every record exists (collections link their parents).
    for (const auto& [stored, entry] : filled)
        stored->fillRelationshipFromGdataEntry(entry, master());
    master()->save();
    ASSERT_GE(m_documentIds.size(), 3);
}

QList<localservice::JournalEntry> ActionsTest::requests(const QString& method,
                                                        const QString& pathPrefix) const
{
    QList<localservice::JournalEntry> matching;
    for (const localservice::JournalEntry& entry : m_service.journal())
        if (entry.method == method && entry.path.startsWith(pathPrefix))
            matching.append(entry);
    return matching;
}

bool ActionsTest::runAction(const QString& action, ActionRequester& requester, const QVariantMap& parameters,
                            int timeoutMs)
{
    const int before = requester.calls();
    documents()->executeAction(action, requester.callback(), parameters);
    return waitUntil([&] { return requester.calls() > before; }, timeoutMs);
}

} // namespace tavrel::test
