#include "PipelineFixture.h"
#include "pipeline/TQBackgroundHandlerOperation.h"
#include "progress/IProgressConsumer.h"

#include <QSet>
#include <gtest/gtest.h>

namespace tavrel::test {

namespace {

const QString kStoreDomain = QStringLiteral("dor.izivozezu.RArizuzoVizadEvevaz");

QVariantMap echo(const QString& service)
{
    return {{QStringLiteral("name"), QStringLiteral("x")},
            {QStringLiteral("service"), service},
            {QStringLiteral("answer"), QStringLiteral("answer")}};
}

} // namespace

// Implements every progress method.
class FullConsumer : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void actionWillStart(const QString& action, const QVariantMap& arguments)
    {
        record(QStringLiteral("start:") + action, arguments);
    }
    Q_INVOKABLE void actionDidProgress(const QString& progressID, const QVariantMap& arguments, quint64 part,
                                       quint64 total)
    {
        record(QStringLiteral("progress:%1:%2/%3").arg(progressID).arg(part).arg(total), arguments);
    }
    Q_INVOKABLE void actionDidFinish(const QString& action, const QVariantMap& arguments)
    {
        record(QStringLiteral("finish:") + action, arguments);
    }
    QStringList calls() const
    {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }
    QStringList actionIDs() const
    {
        std::lock_guard lock(m_mutex);
        return m_actionIDs;
    }

private:
    void record(const QString& call, const QVariantMap& arguments)
    {
        std::lock_guard lock(m_mutex);
        m_calls.append(call);
        m_actionIDs.append(arguments.value(QStringLiteral("actionID")).toString());
    }
    mutable std::mutex m_mutex;
    QStringList m_calls;
    QStringList m_actionIDs;
};

// Implements the end only.
class FinishOnlyConsumer : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void actionDidFinish(const QString& action, const QVariantMap&) { calls.append(action); }
    QStringList calls;
};

using OperationBehaviour = PipelineTest;

TEST_F(OperationBehaviour, ActionIDsAreUniqueAcrossManyOperations)
{
    QSet<QString> seen;
    for (int i = 0; i < 5000; ++i) {
        // Each one released at once, so addresses are used again and again.
        auto operation = std::make_shared<TQOperation>();
        operation->setArguments({{QStringLiteral("statusID"), i}});
        const QString id = operation->arguments().value(QStringLiteral("actionID")).toString();
        ASSERT_TRUE(id.startsWith(QStringLiteral("id__")));
        ASSERT_FALSE(seen.contains(id)) << id.toStdString();
        seen.insert(id);
        operation->setArguments({});
        ASSERT_EQ(operation->arguments().value(QStringLiteral("actionID")).toString(), id);
    }
}

TEST_F(OperationBehaviour, NameDefaultsToTheClassName)
{
    EXPECT_EQ(TQOperation().name(), QStringLiteral("TQOperation"));
    EXPECT_EQ(TQthmChainOperation().name(), QStringLiteral("TQthmChainOperation"));
    TQthmChainOperation named;
    named.setName(QStringLiteral("Chain"));
    EXPECT_EQ(named.name(), QStringLiteral("Chain"));
}

TEST_F(OperationBehaviour, KeyArgumentsAreTheValuesThatAreNeitherStringsNorNumbers)
{
    QObject consumer;
    auto operation = std::make_shared<TQOperation>();
    const FakeRecordPtr record = m_session->record(masterContext(), 1);
    operation->setArguments({{QStringLiteral("documentEntity"), QVariant::fromValue(record)},
                             {QStringLiteral("statusID"), QStringLiteral("rename_1")},
                             {QStringLiteral("queuePriority"), 4}});
    EXPECT_EQ(operation->keyArguments(), QStringList{QStringLiteral("documentEntity")});
    QVariantMap more = operation->arguments();
    more.insert(QStringLiteral("progressConsumer"), QVariant::fromValue(&consumer));
    more.insert(QStringLiteral("managedObjectContext"), QVariant());
    operation->setArguments(more);
    EXPECT_EQ(operation->keyArguments(),
              (QStringList{QStringLiteral("documentEntity"), QStringLiteral("managedObjectContext"),
                           QStringLiteral("progressConsumer")}));
}

TEST_F(OperationBehaviour, LightOperationWithoutAnswerEndsWithPOSIXError60)
{
    Timing::Override shortTimeout(QStringLiteral("operationTimeout"), 200);
    Recorder recorder;
    QElapsedTimer clock;
    clock.start();
    m_manager->executeAction(QStringLiteral("Echo"), callbackFor(recorder), echo(QStringLiteral("hang")));
    ASSERT_TRUE(waitUntil([&] { return recorder.count() == 1; }));
    EXPECT_GE(clock.elapsed(), 200);
    EXPECT_EQ(recorder.error().domain(), Error::kPOSIXErrorDomain);
    EXPECT_EQ(recorder.error().code(), 60);
    EXPECT_FALSE(recorder.result().isValid());
    EXPECT_TRUE(logText().contains(QStringLiteral("E: Got timeout for operation: Echo => ")));
}

TEST_F(OperationBehaviour, HeavyOperationWaitsUntilCancelled)
{
    Timing::Override shortTimeout(QStringLiteral("operationTimeout"), 10);
    Timing::Override shortBackgroundTimeout(QStringLiteral("backgroundOperationTimeout"), 10);
    Recorder recorder;
    FullConsumer consumer;
    QVariantMap parameters = echo(QStringLiteral("hang"));
    parameters.insert(QStringLiteral("progressConsumer"), QVariant::fromValue(&consumer));
    const TQOperationPtr operation =
        m_manager->operationByActionName(QStringLiteral("HeavyEcho"), callbackFor(recorder), parameters);
    ASSERT_TRUE(operation->isHeavy());
    QList<bool> availability;
    QObject::connect(queues(), &TQQueueManager::availableForBackgroundOperationsChanged,
                     [&](bool available) { availability.append(available); });
    queues()->scheduleOperation(operation);
    EXPECT_FALSE(queues()->availableForBackgroundOperations());
    ASSERT_TRUE(waitUntil([&] { return consumer.calls().size() == 1; }));

    // Many times its time-out, and still waiting.
    EXPECT_FALSE(waitUntil([&] { return operation->isFinished(); }, 300));
    queues()->cancelOperation(operation);
    ASSERT_TRUE(waitUntil([&] { return operation->isFinished() && queuesEmpty(); }));
    EXPECT_TRUE(waitUntil([&] { return availability == QList<bool>{false, true}; }));
    EXPECT_EQ(consumer.calls(),
              (QStringList{QStringLiteral("start:HeavyEcho"), QStringLiteral("finish:HeavyEcho")}));
    EXPECT_EQ(recorder.count(), 0);
    EXPECT_FALSE(logText().contains(QStringLiteral("E: Got timeout")));
}

TEST_F(OperationBehaviour, ExceptionInAnOperationReachesTheRequesterAsAnError)
{
    struct Row
    {
        QString action;
        QString logLine;
    };
    const Row rows[] = {
        {QStringLiteral("Throws"), QStringLiteral("TestException: boom")},
        {QStringLiteral("Abstract"),
         QStringLiteral(
             "E: Must override executeActionAndCall:invoke:parameters method for a VUvodozuHandler")},
        {QStringLiteral("Broken"), QStringLiteral("TestException: broken setup")},
        {QStringLiteral("NoServiceSide"),
         QStringLiteral("E: A GDManager Handler must conforms to GDManagerHandlerProtocol")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.action.toStdString());
        Recorder recorder;
        m_manager->executeAction(row.action, callbackFor(recorder), echo(QStringLiteral("ok")));
        ASSERT_TRUE(waitUntil([&] { return recorder.count() == 1 && queuesEmpty(); }));
        EXPECT_EQ(recorder.error().domain(), kStoreDomain);
        EXPECT_EQ(recorder.error().code(), 703);
        EXPECT_FALSE(recorder.result().isValid());
        EXPECT_TRUE(logText().contains(QStringLiteral("E: Exception did happen for action ") + row.action));
        EXPECT_TRUE(logText().contains(row.logLine));
    }
}

TEST_F(OperationBehaviour, ProgressConsumerHearsOnlyWhatItImplements)
{
    FullConsumer full;
    FinishOnlyConsumer finishOnly;
    QObject silent;
    QObject* consumers[] = {&full, &finishOnly, &silent};
    for (QObject* consumer : consumers) {
        Recorder recorder;
        QVariantMap parameters = echo(QStringLiteral("ok"));
        parameters.insert(QStringLiteral("progressConsumer"), QVariant::fromValue(consumer));
        m_manager->executeAction(QStringLiteral("Echo"), callbackFor(recorder), parameters);
        ASSERT_TRUE(waitUntil([&] { return recorder.count() == 1 && queuesEmpty(); }));
    }
    EXPECT_EQ(full.calls(), (QStringList{QStringLiteral("start:Echo"), QStringLiteral("finish:Echo")}));
    EXPECT_EQ(full.actionIDs().value(0), full.actionIDs().value(1));
    EXPECT_TRUE(full.actionIDs().value(0).startsWith(QStringLiteral("id__")));
    EXPECT_EQ(finishOnly.calls, QStringList{QStringLiteral("Echo")});

    EXPECT_TRUE(IProgressConsumer::sendActionDidProgress(&full, QStringLiteral("upload_1"), {}, 5, 10));
    EXPECT_EQ(full.calls().last(), QStringLiteral("progress:upload_1:5/10"));
    EXPECT_FALSE(
        IProgressConsumer::sendActionDidProgress(&finishOnly, QStringLiteral("upload_1"), {}, 5, 10));
    EXPECT_FALSE(IProgressConsumer::sendActionWillStart(nullptr, QStringLiteral("Echo"), {}));
}

TEST_F(OperationBehaviour, AvatarRequestsLeaveNoLogLines)
{
    for (const QString& action : {QStringLiteral("GetAvatar"), QStringLiteral("Echo")}) {
        Recorder recorder;
        m_manager->executeAction(action, callbackFor(recorder), echo(QStringLiteral("ok")));
        ASSERT_TRUE(waitUntil([&] { return recorder.count() == 1 && queuesEmpty(); }));
    }
    const QString log = logText();
    for (const char* line :
         {"Scheduled operation: ", "Started handler operation: ", "Finished handler operation: "}) {
        EXPECT_TRUE(log.contains(QLatin1String(line) + QStringLiteral("Echo"))) << line;
        EXPECT_FALSE(log.contains(QLatin1String(line) + QStringLiteral("GetAvatar"))) << line;
    }
}

TEST_F(OperationBehaviour, AggregateStopsAtTheFirstErrorAndCallsBackOnce)
{
    struct Row
    {
        int failAt;
        QList<int> stepsRun;
        qint64 errorCode;
        QVariant result;
    };
    const Row rows[] = {
        {-1, {0, 1, 2}, 0, 2},
        {1, {0, 1}, 701, QVariant()},
        {0, {0}, 701, QVariant()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.failAt);
        HandlerLog::shared().clear();
        Recorder recorder;
        FullConsumer consumer;
        const TQOperationPtr operation = m_manager->operationByActionName(
            QStringLiteral("Chain"), callbackFor(recorder),
            {{QStringLiteral("failAt"), row.failAt},
             {QStringLiteral("progressConsumer"), QVariant::fromValue(&consumer)}});
        ASSERT_TRUE(std::dynamic_pointer_cast<TQthmChainOperation>(operation));
        queues()->scheduleOperation(operation);
        ASSERT_TRUE(
            waitUntil([&] { return operation->isFinished() && queuesEmpty() && recorder.count() >= 1; }));
        // A second callback would have been queued before the operation finished.
        QCoreApplication::processEvents();

        EXPECT_EQ(recorder.count(), 1);
        EXPECT_EQ(HandlerLog::shared().stepsRun, row.stepsRun);
        EXPECT_EQ(recorder.error().code(), row.errorCode);
        EXPECT_EQ(recorder.result(), row.result);
        // One action for the progress model, not one per step.
        EXPECT_EQ(consumer.calls(),
                  (QStringList{QStringLiteral("start:Chain"), QStringLiteral("finish:Chain")}));
    }
}

TEST_F(OperationBehaviour, CancelledAggregateRunsNoFurtherStepAndCallsNobody)
{
    Recorder recorder;
    auto aggregate = std::make_shared<TQAggregateOperation>();
    aggregate->setManager(m_manager.get());
    aggregate->setSession(m_session.get());
    aggregate->setCallback(callbackFor(recorder));
    // The first step cancels the aggregate while it runs.
    auto first = std::make_shared<TQthmLookupOperation>();
    auto second =
        m_manager->operationByActionName(QStringLiteral("Step"), nullptr, {{QStringLiteral("index"), 1}});
    QObject::connect(
        first.get(), &Operation::isFinishedChanged, first.get(), [aggregate] { aggregate->cancel(); },
        Qt::DirectConnection);
    aggregate->setOperations({first, second});
    queues()->scheduleOperation(aggregate);
    ASSERT_TRUE(waitUntil([&] { return aggregate->isFinished() && queuesEmpty(); }));
    EXPECT_TRUE(second->isCancelled());
    EXPECT_TRUE(HandlerLog::shared().stepsRun.isEmpty());
    EXPECT_TRUE(aggregate->operations().isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.count(), 0);
}

} // namespace tavrel::test

#include "OperationTest.moc"
