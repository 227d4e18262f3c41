#include "PipelineFixture.h"
#include "model/TQLocalizedStrings.h"
#include "pipeline/TQActionRequester.h"
#include "pipeline/TQBackgroundHandlerOperation.h"
#include "platform/runtime/BlockOperation.h"

#include <gtest/gtest.h>

namespace tavrel::test {

namespace {

const QString kStoreDomain = QStringLiteral("dor.izivozezu.RArizuzoVizadEvevaz");
const QString kServiceDomain = QStringLiteral("rez.uzorevuza.GDManagerErrorDomain");

QVariantMap echo(const QString& service, const QVariant& answer = QStringLiteral("answer"))
{
    return {{QStringLiteral("name"), QStringLiteral("x")},
            {QStringLiteral("service"), service},
            {QStringLiteral("answer"), answer}};
}

} // namespace

using ActionDispatch = PipelineTest;

TEST_F(ActionDispatch, ResolvesOperationClassFirstThenHandlerPair)
{
    struct Row
    {
        QString action;
        const char* operationClass; // nullptr: no operation at all
        bool heavy;
    };
    const Row rows[] = {
        {QStringLiteral("Lookup"), "tavrel::test::TQthmLookupOperation", false}, // thmLookup exists too
        {QStringLiteral("Echo"), "tavrel::TQHandlerOperation", false},
        {QStringLiteral("HeavyEcho"), "tavrel::TQBackgroundHandlerOperation", true},
        {QStringLiteral("Nothing"), nullptr, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.action.toStdString());
        const TQOperationPtr operation =
            m_manager->operationByActionName(row.action, nullptr, echo(QStringLiteral("ok")));
        if (!row.operationClass) {
            EXPECT_FALSE(operation);
            continue;
        }
        ASSERT_TRUE(operation);
        EXPECT_STREQ(operation->metaObject()->className(), row.operationClass);
        EXPECT_EQ(operation->name(), row.action);
        EXPECT_EQ(operation->isHeavy(), row.heavy);
        EXPECT_TRUE(operation->callback()) << "a bridging callback even without a requester";
        EXPECT_TRUE(operation->arguments().value(QStringLiteral("actionID")).toString().startsWith("id__"));
    }
    EXPECT_TRUE(
        logText().contains(QStringLiteral("E: A VUvodozu Handler must conforms to VUvodozuHandlerProtocol")));

    // An unknown action schedules nothing, and its requester hears of it as of any failure.
    Recorder recorder;
    m_manager->executeAction(QStringLiteral("Nothing"), callbackFor(recorder), echo(QStringLiteral("ok")));
    EXPECT_TRUE(queuesEmpty());
    ASSERT_TRUE(waitUntil([&] { return recorder.count() == 1; }));
    EXPECT_EQ(recorder.error().domain(), VUvodozuManager::kErrorDomain);
    EXPECT_EQ(recorder.error().code(), VUvodozuManager::kUnexpectedErrorCode);
    EXPECT_EQ(recorder.thread(), QThread::currentThread());

    // The operation class answers by itself, the handler is never made.
    m_manager->executeAction(QStringLiteral("Lookup"), callbackFor(recorder), echo(QStringLiteral("ok")));
    ASSERT_TRUE(waitUntil([&] { return recorder.count() == 2; }));
    EXPECT_EQ(recorder.result().toString(), QStringLiteral("operation"));
    EXPECT_EQ(HandlerLog::shared().serviceCallsStarted, 0);
}

TEST_F(ActionDispatch, ParametersSetPriorityAndProgressConsumer)
{
    QObject consumer;
    QVariantMap parameters = echo(QStringLiteral("ok"));
    EXPECT_EQ(m_manager->operationByActionName(QStringLiteral("Echo"), nullptr, parameters)->queuePriority(),
              0);
    parameters.insert(QStringLiteral("queuePriority"), 4);
    parameters.insert(QStringLiteral("progressConsumer"), QVariant::fromValue(&consumer));
    const TQOperationPtr operation =
        m_manager->operationByActionName(QStringLiteral("Echo"), nullptr, parameters);
    EXPECT_EQ(operation->queuePriority(), 4);
    EXPECT_EQ(operation->progressConsumer(), &consumer);
}

TEST_F(ActionDispatch, AConsumerClosedBeforeItsActionRunsIsNeverReachedThroughTheArguments)
{
    auto* consumer = new QObject;
    QVariantMap parameters = echo(QStringLiteral("ok"));
    parameters.insert(QStringLiteral("progressConsumer"), QVariant::fromValue(consumer));
    const TQOperationPtr operation =
        m_manager->operationByActionName(QStringLiteral("Echo"), nullptr, parameters);
    const QVariant kept = operation->arguments().value(QStringLiteral("progressConsumer"));
    EXPECT_EQ(TQOperation::progressConsumerOf(kept), consumer);
    delete consumer;
    // Workers read the consumer from the arguments long after the request: they must see it gone.
    EXPECT_EQ(TQOperation::progressConsumerOf(kept), nullptr);
    EXPECT_EQ(operation->progressConsumer(), nullptr);
}

TEST_F(ActionDispatch, CallbackRunsOnMainThreadWithRecordOfTheRequestersContext)
{
    FakeContext* master = masterContext();
    const FakeRecordPtr record = m_session->record(master, 7);
    QVariantMap parameters = echo(QStringLiteral("ok"), QVariant::fromValue(record));
    parameters.insert(QStringLiteral("record"), QVariant::fromValue(record));
    Recorder recorder;
    m_manager->executeAction(QStringLiteral("Echo"), callbackFor(recorder), parameters);
    ASSERT_TRUE(waitUntil([&] { return recorder.count() == 1; }));

    EXPECT_EQ(recorder.thread(), QThread::currentThread());
    EXPECT_TRUE(recorder.error().isNull());
    const FakeRecordPtr result = recorder.result().value<FakeRecordPtr>();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->id, 7);
    EXPECT_EQ(result->context, master);

    // The handler ran on a worker and saw the record of the worker's context.
    HandlerLog& log = HandlerLog::shared();
    EXPECT_NE(log.handlerThread, QThread::currentThread());
    EXPECT_EQ(log.handlerAffinity, log.handlerThread) << "the handler lives on its worker";
    const FakeRecordPtr seen = log.parameterSeenByHandler.value<FakeRecordPtr>();
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->context->owner(), log.handlerThread);
}

TEST_F(ActionDispatch, CallbackRunsOnARequestingWorkerThreadInItsOwnContext)
{
    Recorder recorder;
    FakeContext* requesterContext = nullptr;
    QThread* requesterThread = nullptr;
    bool answered = false;
    OperationQueue requesters;
    Operation* self = nullptr;
    auto requester = std::make_shared<BlockOperation>([&] {
        requesterThread = QThread::currentThread();
        requesterContext = m_session->contextForThread(requesterThread);
        const FakeRecordPtr record = m_session->record(requesterContext, 3);
        QVariantMap parameters =
            echo(QStringLiteral("ok"), QVariant::fromValue(QVariantList{QVariant::fromValue(record)}));
        m_manager->executeAction(QStringLiteral("Echo"), callbackFor(recorder), parameters);
        // The callback is queued to this thread: it arrives while the thread spins its loop.
        answered = self->waitUntil([&] { return recorder.count() == 1; }, 5000, 10);
    });
    self = requester.get();
    requesters.addOperation(requester);
    ASSERT_TRUE(waitUntil([&] { return requester->isFinished(); }));

    ASSERT_TRUE(answered);
    EXPECT_EQ(recorder.thread(), requesterThread);
    const QVariantList result = recorder.result().toList();
    ASSERT_EQ(result.size(), 1);
    const FakeRecordPtr record = result.first().value<FakeRecordPtr>();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->context, requesterContext);
    EXPECT_NE(HandlerLog::shared().handlerThread, requesterThread);
}

TEST_F(ActionDispatch, MissingOrWrongClassParameterGives701AndStartsNothing)
{
    const QVariantMap rows[] = {
        {{QStringLiteral("service"), QStringLiteral("ok")}},
        {{QStringLiteral("service"), QStringLiteral("ok")}, {QStringLiteral("name"), 42}},
    };
    for (const QVariantMap& parameters : rows) {
        Recorder recorder;
        m_manager->executeAction(QStringLiteral("Echo"), callbackFor(recorder), parameters);
        ASSERT_TRUE(waitUntil([&] { return recorder.count() == 1; }));
        EXPECT_EQ(recorder.error().domain(), kStoreDomain);
        EXPECT_EQ(recorder.error().code(), 701);
        EXPECT_FALSE(recorder.result().isValid());
    }
    EXPECT_EQ(HandlerLog::shared().serviceCallsStarted, 0);
    // The store side still saw the answer, as every answer goes through it.
    EXPECT_EQ(HandlerLog::shared().storeSideResults.size(), 2);
}

TEST_F(ActionDispatch, ServiceAnswersAreMappedOnTheWayToTheRequester)
{
    struct Row
    {
        QString service;
        QString domain; // empty: no error
        qint64 code;
        QString description;
    };
    const QString unexpected = TQLocalizedStrings::localizedStringForKey(QStringLiteral("UnexpectedError"));
    const Row rows[] = {
        {QStringLiteral("ok"), QString(), 0, QString()},
        {QStringLiteral("401"), kStoreDomain, 702, QStringLiteral("Token expired")},
        {QStringLiteral("500"), kStoreDomain, 703, unexpected},
        {QStringLiteral("noTicket"), kStoreDomain, 703, unexpected},
        {QStringLiteral("network"), QStringLiteral("GTMHTTPFetcherErrorDomain"), 99, QString()},
    };
    ASSERT_NE(unexpected, QStringLiteral("UnexpectedError"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.service.toStdString());
        HandlerLog::shared().clear();
        Recorder recorder;
        m_manager->executeAction(QStringLiteral("Echo"), callbackFor(recorder), echo(row.service));
        ASSERT_TRUE(waitUntil([&] { return recorder.count() == 1; }));
        EXPECT_EQ(recorder.error().domain(), row.domain);
        EXPECT_EQ(recorder.error().code(), row.code);
        if (!row.description.isEmpty()) {
            EXPECT_EQ(recorder.error().localizedDescription(), row.description);
        }
        EXPECT_EQ(recorder.result().isValid(), row.domain.isEmpty());
        if (row.domain.isEmpty()) {
            EXPECT_EQ(recorder.result().toString(), QStringLiteral("answer"));
        }

        HandlerLog& log = HandlerLog::shared();
        ASSERT_EQ(log.storeSideResults.size(), 1);
        const QVariantMap storeSide = log.storeSideResults.first();
        EXPECT_TRUE(storeSide.contains(QStringLiteral("error")));
        EXPECT_TRUE(storeSide.contains(QStringLiteral("feed")));
        if (row.service != QLatin1String("noTicket")) {
            ASSERT_EQ(log.serviceSideResults.size(), 1);
            EXPECT_TRUE(log.serviceSideResults.first().contains(QStringLiteral("ticket")));
            EXPECT_FALSE(storeSide.contains(QStringLiteral("ticket")));
            EXPECT_FALSE(storeSide.contains(QStringLiteral("fetcher")));
            EXPECT_FALSE(storeSide.contains(QStringLiteral("invocation")));
            EXPECT_TRUE(storeSide.contains(QStringLiteral("parameter")));
        }
    }
}

TEST_F(ActionDispatch, FailedBatchEntriesReachTheRequesterAs704WithTheSuccesses)
{
    QVariantMap parameters = echo(QStringLiteral("batch"));
    parameters.insert(QStringLiteral("batchEntries"),
                      QVariantList{QVariantMap{{"id", "1"}, {"status", 200}},
                                   QVariantMap{{"id", "2"}, {"status", 409}, {"reason", "Conflict"}},
                                   QVariantMap{{"id", "3"}, {"status", 200}}});
    Recorder recorder;
    m_manager->executeAction(QStringLiteral("Echo"), callbackFor(recorder), parameters);
    ASSERT_TRUE(waitUntil([&] { return recorder.count() == 1; }));

    const QVariantMap serviceSide = HandlerLog::shared().serviceSideResults.value(0);
    const Error batchError = serviceSide.value(QStringLiteral("error")).value<Error>();
    EXPECT_EQ(batchError.domain(), kServiceDomain);
    EXPECT_EQ(batchError.code(), 603);
    EXPECT_EQ(batchError.userInfo(), (QVariantMap{{"2", "Conflict"}}));
    EXPECT_EQ(serviceSide.value(QStringLiteral("feed")).toList(), (QVariantList{"1", "3"}));

    EXPECT_EQ(recorder.error().domain(), kStoreDomain);
    EXPECT_EQ(recorder.error().code(), 704);
    EXPECT_EQ(recorder.error().localizedDescription(),
              TQLocalizedStrings::localizedStringForKey(QStringLiteral("SomeFetchError")));
    EXPECT_FALSE(recorder.error().userInfo().contains(QStringLiteral("2")));
    EXPECT_EQ(recorder.result().toList(), (QVariantList{"1", "3"}));
}

TEST_F(ActionDispatch, DefaultRequesterLogsAndHandsErrorsOn)
{
    QList<Error> forwarded;
    QObject* sender = nullptr;
    TQActionRequester::setErrorHandler([&](const Error& error, QObject* from) {
        forwarded.append(error);
        sender = from;
    });
    TQActionRequester requester;
    const auto callback = [&] {
        return Invocation::invocationForSelector(TQActionRequester::kDefaultCallbackSelector, &requester);
    };
    m_manager->executeAction(QStringLiteral("Echo"), callback(), echo(QStringLiteral("ok")));
    m_manager->executeAction(QStringLiteral("Echo"), callback(), echo(QStringLiteral("500")));
    ASSERT_TRUE(waitUntil([&] { return forwarded.size() == 1 && queuesEmpty(); }));
    ASSERT_TRUE(waitUntil([&] { return logText().count(QStringLiteral("Received action callback")) == 2; }));
    TQActionRequester::setErrorHandler(nullptr);

    EXPECT_EQ(forwarded.first().code(), 703);
    EXPECT_EQ(sender, &requester);
    EXPECT_TRUE(logText().contains(QStringLiteral("E: Got error on requested operation: ")));
}

} // namespace tavrel::test
