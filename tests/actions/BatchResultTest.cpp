#include "ActionsFixture.h"
#include "actions/DocumentManagerHandler.h"
#include "actions/GDataDocumentHandler.h"
#include "model/TQLocalizedStrings.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel::test {

// A batch action of the tests: asks the service, in one batch, for the entries of "documents" and of
// the made-up resource ids in "missing".
class dmhTestBatchQuery : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override
    {
        gdataManager()->executeAction(QStringLiteral("TestBatchQuery"), invocation, parameters);
    }
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override { return result; }
};

class gddmhTestBatchQuery : public GDataDocumentHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override
    {
        QList<GDataEntryDocPtr> entries;
        for (const QVariant& value : parameters.value(QStringLiteral("documents")).toList())
            if (auto record = std::dynamic_pointer_cast<FileEntryAbstract>(value.value<ManagedObjectPtr>()))
                entries.append(record->gdataEntry());
        for (const QString& resourceId : parameters.value(QStringLiteral("missing")).toStringList()) {
            auto entry = GDataEntryDocBase::documentEntry();
            entry->setResourceID(resourceId);
            entries.append(entry);
        }
        auto batch = GDataFeedBase::feed();
        int number = 0;
        for (const GDataEntryDocPtr& entry : entries) {
            if (!entry)
                continue;
            const GDataEntryPtr added = batch->addEntry(*entry);
            // Queries name entries by their address.
            if (const QString self = entry->linkWithRelAttributeValue(QStringLiteral("self")).href();
                !self.isEmpty())
                added->setIdentifier(self);
            added->setBatchOperation(QStringLiteral("query"));
            added->setBatchIDWithString(QString::number(number++));
        }
        // An operation the service does not know stops the batch there.
        const QString lastOperation = parameters.value(QStringLiteral("lastOperation")).toString();
        if (!lastOperation.isEmpty() && !batch->entries().isEmpty())
            batch->entries().last()->setBatchOperation(lastOperation);
        const GDataServiceTicketPtr ticket = service()->fetchFeedWithBatchFeed(
            batch, GDataEndpoints::docsBatchURL(), this, kBatchFeedCallback);
        if (ticket)
            parkInvocation(ticket, invocation);
        else
            callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
    }
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override { return result; }
};

TAVREL_REGISTER_CLASS(dmhTestBatchQuery)
TAVREL_REGISTER_CLASS(gddmhTestBatchQuery)

using BatchResultTest = ActionsTest;

TEST_F(BatchResultTest, FailedEntriesGive704WithTheEntriesThatSucceeded)
{
    const QStringList ids = storedDocumentIds().mid(0, 2);
    ActionRequester requester;
    ASSERT_TRUE(runAction(QStringLiteral("TestBatchQuery"), requester,
                          {{QStringLiteral("documents"),
                            QVariantList{QVariant::fromValue<ManagedObjectPtr>(record(ids.at(0))),
                                         QVariant::fromValue<ManagedObjectPtr>(record(ids.at(1)))}},
                           {QStringLiteral("missing"), QStringList{QStringLiteral("document:nowhere")}}}));

    EXPECT_EQ(requests(QStringLiteral("POST"), QStringLiteral("/feeds/default/private/full/batch")).size(),
              1);
    EXPECT_EQ(requester.error().domain(), VUvodozuManager::kErrorDomain);
    EXPECT_EQ(requester.error().code(), VUvodozuManager::kSomeFetchErrorCode);
    EXPECT_EQ(requester.error().localizedDescription(),
              TQLocalizedStrings::localizedStringForKey(QStringLiteral("SomeFetchError")));
    // The failures of the batch stay on the service side.
    EXPECT_TRUE(requester.error().userInfo().value(QStringLiteral("2")).isNull());
    QStringList answered;
    for (const QVariant& value : requester.result().toList())
        if (auto entry = std::dynamic_pointer_cast<GDataEntryDocBase>(value.value<GDataEntryPtr>()))
            answered.append(entry->resourceID());
    EXPECT_EQ(answered, ids);
}

TEST_F(BatchResultTest, AnInterruptedBatchGives704WithTheEntriesBeforeTheStop)
{
    const QStringList ids = storedDocumentIds().mid(0, 3);
    QVariantList documents;
    for (const QString& id : ids)
        documents.append(QVariant::fromValue<ManagedObjectPtr>(record(id)));
    ActionRequester requester;
    ASSERT_TRUE(runAction(QStringLiteral("TestBatchQuery"), requester,
                          {{QStringLiteral("documents"), documents},
                           {QStringLiteral("lastOperation"), QStringLiteral("rename")}}));
    EXPECT_EQ(requester.error().code(), VUvodozuManager::kSomeFetchErrorCode);
    QStringList answered;
    for (const QVariant& value : requester.result().toList())
        if (auto entry = std::dynamic_pointer_cast<GDataEntryDocBase>(value.value<GDataEntryPtr>()))
            answered.append(entry->resourceID());
    EXPECT_EQ(answered, ids.mid(0, 2));
}

TEST_F(BatchResultTest, AWholeBatchRefusedGivesTheMappedErrorAndNoEntries)
{
    m_account.service.addFault({localservice::Fault::Status, QStringLiteral("POST"),
                                QStringLiteral("^/feeds/default/private/full/batch"), 1, 403});
    ActionRequester requester;
    ASSERT_TRUE(runAction(QStringLiteral("TestBatchQuery"), requester,
                          {{QStringLiteral("documents"), QVariantList{QVariant::fromValue<ManagedObjectPtr>(
                                                             record(storedDocumentIds().first()))}}}));
    EXPECT_EQ(requester.error().code(), VUvodozuManager::kUnexpectedErrorCode);
    EXPECT_FALSE(requester.result().isValid());
}

} // namespace tavrel::test

#include "BatchResultTest.moc"
