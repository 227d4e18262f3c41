#include "PipelineFixture.h"
#include "pipeline/TQObjectIdentity.h"

#include <QUrl>
#include <gtest/gtest.h>

namespace tavrel::test {

using QueueManagerBehaviour = PipelineTest;

TEST_F(QueueManagerBehaviour, DropsARepeatedRequestOnlyWhenAnEarlierOneForTheSameObjectsRanksHigher)
{
    QThread elsewhere; // stands for another thread's context
    const FakeRecordPtr record = m_session->record(masterContext(), 5);
    const FakeRecordPtr twin = m_session->record(m_session->contextForThread(&elsewhere), 5);
    enum Objects { SameRecord, TwinRecord, StringsOnly };
    struct Row
    {
        const char* title;
        QString secondAction;
        int firstPriority;
        int secondPriority;
        Objects objects;
        bool dropped;
    };
    const Row rows[] = {
        {"higher priority waits: the repeat is dropped", QStringLiteral("Echo"), 4, 0, SameRecord, true},
        {"the repeat ranks higher: both run", QStringLiteral("Echo"), 0, 4, SameRecord, false},
        {"equal priorities: both run", QStringLiteral("Echo"), 2, 2, SameRecord, false},
        {"another object for the same record: both run", QStringLiteral("Echo"), 4, 0, TwinRecord, false},
        {"strings and numbers only: both run", QStringLiteral("Echo"), 4, 0, StringsOnly, false},
        {"another action: both run", QStringLiteral("HeavyEcho"), 4, 0, SameRecord, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.title);
        TQLogger::resetForTesting();
        QFile::remove(Paths::logFile());
        queues()->lightQueue()->setSuspended(true);
        queues()->heavyQueue()->setSuspended(true);
        const auto parameters = [&](const FakeRecordPtr& object, int priority) {
            QVariantMap map{{QStringLiteral("name"), QStringLiteral("x")},
                            {QStringLiteral("service"), QStringLiteral("hang")},
                            {QStringLiteral("queuePriority"), priority}};
            if (row.objects != StringsOnly)
                map.insert(QStringLiteral("record"), QVariant::fromValue(object));
            return map;
        };
        Recorder recorder;
        const TQOperationPtr first = m_manager->operationByActionName(
            QStringLiteral("Echo"), callbackFor(recorder), parameters(record, row.firstPriority));
        const TQOperationPtr second = m_manager->operationByActionName(
            row.secondAction, callbackFor(recorder),
            parameters(row.objects == TwinRecord ? twin : record, row.secondPriority));
        queues()->scheduleOperation(first);
        queues()->scheduleOperation(second);

        const QList<OperationPtr> queued =
            queues()->lightQueue()->operations() + queues()->heavyQueue()->operations();
        EXPECT_TRUE(queued.contains(first));
        EXPECT_EQ(!queued.contains(second), row.dropped);
        EXPECT_EQ(logText().contains(QStringLiteral("Operation dropped as redundant")), row.dropped);

        queues()->reset();
        queues()->lightQueue()->setSuspended(false);
        queues()->heavyQueue()->setSuspended(false);
        ASSERT_TRUE(waitUntil([&] { return queuesEmpty(); }));
        QCoreApplication::processEvents();
        EXPECT_EQ(recorder.count(), 0);
    }
}

TEST(ObjectIdentity, SameObjectMeansTheSamePointerOrTheSameListStorage)
{
    QObject object;
    QObject other;
    const auto record = std::make_shared<FakeRecord>();
    const QVariant list = QVariantList{QVariant::fromValue(record)};
    const QVariant copy = list;
    struct Row
    {
        QVariant a;
        QVariant b;
        bool same;
    };
    const Row rows[] = {
        {QVariant::fromValue(&object), QVariant::fromValue(&object), true},
        {QVariant::fromValue(&object), QVariant::fromValue(&other), false},
        {QVariant::fromValue(record), QVariant::fromValue(record), true},
        {QVariant::fromValue(record), QVariant::fromValue(std::make_shared<FakeRecord>()), false},
        {list, copy, true},
        {list, QVariantList{QVariant::fromValue(record)}, false},
        {QUrl(QStringLiteral("http://a")), QUrl(QStringLiteral("http://a")), false},
        {QVariant(), QVariant(), false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TQObjectIdentity::isSameObject(row.a, row.b), row.same) << row.a.typeName();
}

TEST_F(QueueManagerBehaviour, FindsRunningOperationsAndResetCancelsEverythingCallingNobody)
{
    EXPECT_EQ(queues()->maxNumberOfLightOperations(), 3);
    EXPECT_EQ(queues()->maxNumberOfHeavyOperations(), 3);
    Recorder recorder;
    QList<TQOperationPtr> operations;
    for (int i = 0; i < 4; ++i) {
        operations.append(
            m_manager->operationByActionName(QStringLiteral("Echo"), callbackFor(recorder),
                                             {{QStringLiteral("name"), QStringLiteral("x")},
                                              {QStringLiteral("service"), QStringLiteral("hang")},
                                              {QStringLiteral("statusID"), QStringLiteral("s_%1").arg(i)}}));
    }
    operations.append(
        m_manager->operationByActionName(QStringLiteral("HeavyEcho"), callbackFor(recorder),
                                         {{QStringLiteral("name"), QStringLiteral("x")},
                                          {QStringLiteral("service"), QStringLiteral("hang")}}));
    for (const TQOperationPtr& operation : operations)
        queues()->scheduleOperation(operation);
    ASSERT_TRUE(waitUntil([&] {
        return operations[0]->isExecuting() && operations[1]->isExecuting() && operations[2]->isExecuting() &&
               operations[4]->isExecuting();
    }));
    EXPECT_FALSE(operations[3]->isExecuting()) << "three light operations at a time";
    EXPECT_FALSE(queues()->availableForBackgroundOperations());

    const QVariantMap status{{QStringLiteral("statusID"), QStringLiteral("s_1")}};
    EXPECT_EQ(queues()->operationsMatchingName(QStringLiteral("Echo"), status),
              QList<TQOperationPtr>{operations[1]});
    EXPECT_EQ(queues()->operationsMatchingName(QStringLiteral("Echo")).size(), 4);
    EXPECT_TRUE(queues()
                    ->operationsMatchingName(QStringLiteral("Echo"), {{QStringLiteral("statusID"), "none"}})
                    .isEmpty());
    EXPECT_TRUE(queues()->operationsMatchingName(QStringLiteral("Rename"), status).isEmpty());
    queues()->cancelOperation(operations[1]);
    EXPECT_TRUE(queues()->operationsMatchingName(QStringLiteral("Echo"), status).isEmpty());

    queues()->reset();
    ASSERT_TRUE(waitUntil([&] { return queuesEmpty(); }));
    for (const TQOperationPtr& operation : operations)
        EXPECT_TRUE(operation->isCancelled());
    EXPECT_TRUE(waitUntil([&] { return queues()->availableForBackgroundOperations(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.count(), 0);
}

} // namespace tavrel::test
