#include "ActionsFixture.h"

#include "model/TQMOCMaster.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataFeedBase.h"
#include "platform/gdata/GDataServiceGoogleDocs.h"
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
    AccountTest::SetUp();
    startAccount(TestAccount::smallAccount());
    ASSERT_FALSE(HasFatalFailure());
    fillStore();
    m_account.service.clearJournal();
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
    service.setAuthorizer(m_account.authentication);
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

bool ActionsTest::runAction(const QString& action, ActionRequester& requester, const QVariantMap& parameters,
                            int timeoutMs)
{
    const int before = requester.calls();
    documents()->executeAction(action, requester.callback(), parameters);
    return waitUntil([&] { return requester.calls() > before; }, timeoutMs);
}

} // namespace tavrel::test
