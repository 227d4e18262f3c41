#include "platform/runtime/Invocation.h"

#include "platform/runtime/Error.h"
#include "platform/runtime/ThreadDispatch.h"
#include "support/WaitUntil.h"

#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>

namespace tavrel::test {

// A requester in the shape of the views: callbacks named by selector, taking (result, error).
class Recorder : public QObject
{
    Q_OBJECT
public:
    QStringList calls;
    QVariant lastResult;
    Error lastError;
    std::atomic<QThread*> calledOn{nullptr};

    Q_INVOKABLE QVariant transform(const QVariant& parameter)
    {
        calls << QStringLiteral("transform");
        QVariantMap map = parameter.toMap();
        map.insert(QStringLiteral("seen"), true);
        return map;
    }
    Q_INVOKABLE void documentsDidTrashWithResult(const QVariant& result, const tavrel::Error& error)
    {
        calls << QStringLiteral("documentsDidTrashWithResult");
        lastResult = result;
        lastError = error;
        calledOn = QThread::currentThread();
    }
    Q_INVOKABLE int twice(int value) { return value * 2; }
};

// A thread running its own event loop, reachable through its context object.
class LoopThread
{
public:
    LoopThread()
    {
        QObject::connect(&m_thread, &QThread::started, [this] {
            ThreadDispatch::contextForCurrentThread();
            m_ready = true;
        });
        m_thread.start();
        waitUntil([this] { return m_ready.load(); });
    }
    ~LoopThread()
    {
        m_thread.quit();
        m_thread.wait();
    }
    QThread* thread() { return &m_thread; }

private:
    QThread m_thread;
    std::atomic<bool> m_ready{false};
};

TEST(Invocation, QVariantParametersReceiveTheVariantItself)
{
    Recorder recorder;
    auto invocation =
        Invocation::invocationForSelector(QStringLiteral("documentsDidTrashWithResult:error:"), &recorder);
    const QVariant values[] = {QVariant(), QVariant::fromValue(Error(QStringLiteral("D"), 5)),
                               QVariantMap{{QStringLiteral("feed"), QVariant()}}, QVariantList{1, 2}};
    for (const QVariant& value : values) {
        invocation->setArgument(2, value);
        ASSERT_TRUE(invocation->invoke());
        EXPECT_EQ(recorder.lastResult.metaType(), value.metaType());
        EXPECT_EQ(recorder.lastResult, value);
    }

    auto transform = Invocation::invocationForSelector(QStringLiteral("transform:"), &recorder);
    transform->setArgument(2, QVariantMap{{QStringLiteral("a"), 1}});
    ASSERT_TRUE(transform->invoke());
    EXPECT_EQ(transform->returnValue().toMap(),
              (QVariantMap{{QStringLiteral("a"), 1}, {QStringLiteral("seen"), true}}));
}

TEST(Invocation, SelectorCallsTheMethodBeforeTheFirstColonWithNumberedArguments)
{
    Recorder recorder;
    auto invocation =
        Invocation::invocationForSelector(QStringLiteral("documentsDidTrashWithResult:error:"), &recorder);
    const Error error(QStringLiteral("D"), 704);
    invocation->setArgument(2, QStringLiteral("feed"));
    invocation->setArgument(3, QVariant::fromValue(error));
    EXPECT_TRUE(invocation->invoke());
    EXPECT_EQ(recorder.calls, QStringList{QStringLiteral("documentsDidTrashWithResult")});
    EXPECT_EQ(recorder.lastResult.toString(), QStringLiteral("feed"));
    EXPECT_EQ(recorder.lastError, error);

    auto twice = Invocation::invocationForSelector(QStringLiteral("twice:"), &recorder);
    twice->setArgument(2, 21);
    ASSERT_TRUE(twice->invoke());
    EXPECT_EQ(twice->returnValue().toInt(), 42);
}

TEST(Invocation, RespondsIsAMetaObjectLookup)
{
    Recorder recorder;
    EXPECT_TRUE(
        Invocation::respondsToSelector(&recorder, QStringLiteral("documentsDidTrashWithResult:error:")));
    EXPECT_TRUE(Invocation::respondsToSelector(&recorder, QStringLiteral("twice:")));
    // Same name, other number of arguments.
    EXPECT_FALSE(Invocation::respondsToSelector(&recorder, QStringLiteral("twice:by:")));
    EXPECT_FALSE(Invocation::respondsToSelector(&recorder, QStringLiteral("actionWillStart:arguments:")));
    EXPECT_FALSE(Invocation::respondsToSelector(nullptr, QStringLiteral("twice:")));

    auto missing = Invocation::invocationForSelector(QStringLiteral("nothing:"), &recorder);
    EXPECT_FALSE(missing->invoke());
}

TEST(Invocation, ChainPassesTheParameterToTheFirstAndItsResultToTheSecond)
{
    Recorder recorder;
    auto first = Invocation::invocationForSelector(QStringLiteral("transform:"), &recorder);
    auto second =
        Invocation::invocationForSelector(QStringLiteral("documentsDidTrashWithResult:error:"), &recorder);
    const Error kept(QStringLiteral("kept"), 1);
    second->setArgument(3, QVariant::fromValue(kept));

    auto chain = Invocation::invocationWithInvocation(first, second, QVariant());
    EXPECT_TRUE(recorder.calls.isEmpty()) << "chaining invokes nothing";
    EXPECT_EQ(chain->argument(2).value<InvocationPtr>(), first);
    EXPECT_EQ(chain->argument(3).value<InvocationPtr>(), second);

    // The party that completes the work stores its result at index 4 and invokes.
    chain->setArgument(4, QVariantMap{{QStringLiteral("feed"), QStringLiteral("entries")}});
    ASSERT_TRUE(chain->invoke());
    EXPECT_EQ(recorder.calls,
              (QStringList{QStringLiteral("transform"), QStringLiteral("documentsDidTrashWithResult")}));
    const QVariantMap result = recorder.lastResult.toMap();
    EXPECT_EQ(result.value(QStringLiteral("feed")).toString(), QStringLiteral("entries"));
    EXPECT_TRUE(result.value(QStringLiteral("seen")).toBool());
    EXPECT_EQ(recorder.lastError, kept) << "the second invocation's other arguments keep their values";
}

TEST(Invocation, CustomEncapsulationReceivesTheArgumentLayout)
{
    Recorder recorder;
    auto first = Invocation::invocationForSelector(QStringLiteral("transform:"), &recorder);
    auto second = Invocation::invocationForSelector(QStringLiteral("twice:"), &recorder);
    QVariant seenParameter;
    bool sawBoth = false;
    auto custom = Invocation::invocationWithFunction(Invocation::kEncapsulateSelector, [&](Invocation& self) {
        sawBoth = self.argument(2).value<InvocationPtr>() == first &&
                  self.argument(3).value<InvocationPtr>() == second;
        seenParameter = self.argument(4);
        return QVariant();
    });
    auto chain = Invocation::invocationWithInvocation(first, second, QStringLiteral("p"), custom);
    EXPECT_EQ(chain, custom);
    chain->invoke();
    EXPECT_TRUE(sawBoth);
    EXPECT_EQ(seenParameter.toString(), QStringLiteral("p"));
    EXPECT_TRUE(recorder.calls.isEmpty());
}

TEST(Invocation, GoneTargetMakesTheInvocationDoNothing)
{
    auto* recorder = new Recorder;
    auto invocation = Invocation::invocationForSelector(QStringLiteral("twice:"), recorder);
    invocation->setArgument(2, 1);
    delete recorder;
    EXPECT_FALSE(invocation->hasTarget());
    EXPECT_FALSE(invocation->invoke());
    EXPECT_FALSE(invocation->returnValue().isValid());
    // Performed later on the main thread, it still does nothing and does not crash.
    invocation->performOnMainThread(false);
    QCoreApplication::processEvents();
}

TEST(Invocation, SharedTargetLivesUntilTheInvocationIsReleased)
{
    auto recorder = std::make_shared<Recorder>();
    std::weak_ptr<Recorder> watch = recorder;
    auto invocation = Invocation::invocationForSelector(QStringLiteral("twice:"), recorder);
    recorder.reset();
    ASSERT_FALSE(watch.expired()) << "the requester lives until it is called back";
    invocation->setArgument(2, 5);
    EXPECT_TRUE(invocation->invoke());
    EXPECT_EQ(invocation->returnValue().toInt(), 10);
    invocation.reset();
    EXPECT_TRUE(watch.expired());
}

TEST(Invocation, PerformOnAnotherThreadRunsThereAndBackOnTheMainThread)
{
    LoopThread worker;
    Recorder recorder;
    auto invocation =
        Invocation::invocationForSelector(QStringLiteral("documentsDidTrashWithResult:error:"), &recorder);
    invocation->setArgument(2, QStringLiteral("r"));
    ASSERT_TRUE(invocation->performOnThread(worker.thread(), false));
    ASSERT_TRUE(waitUntil([&] { return recorder.calledOn != nullptr; }));
    EXPECT_EQ(recorder.calledOn.load(), worker.thread());

    // From the worker, back to the main thread, waiting for the call to have run.
    recorder.calledOn = nullptr;
    std::atomic<bool> returned{false};
    QThread* seenAfterReturn = nullptr;
    ThreadDispatch::performOnThread(
        worker.thread(),
        [&] {
            invocation->performOnMainThread(true);
            seenAfterReturn = recorder.calledOn.load();
            returned = true;
        },
        false);
    ASSERT_TRUE(waitUntil([&] { return returned.load(); }));
    EXPECT_EQ(seenAfterReturn, QThread::currentThread());
}

TEST(Invocation, PerformUsesItsOwnThreadOrRunsHere)
{
    LoopThread worker;
    Recorder recorder;
    auto invocation =
        Invocation::invocationForSelector(QStringLiteral("documentsDidTrashWithResult:error:"), &recorder);
    EXPECT_TRUE(invocation->perform(false));
    EXPECT_EQ(recorder.calledOn.load(), QThread::currentThread()) << "no thread set: invoked at once";
    recorder.calledOn = nullptr;
    invocation->setThread(worker.thread());
    EXPECT_TRUE(invocation->perform(false));
    ASSERT_TRUE(waitUntil([&] { return recorder.calledOn != nullptr; }));
    EXPECT_EQ(recorder.calledOn.load(), worker.thread());
}

TEST(Invocation, PerformOnAnEndedThreadRunsNothing)
{
    QThread* ended = nullptr;
    {
        LoopThread worker;
        ended = worker.thread();
        EXPECT_NE(ThreadDispatch::contextForThread(ended), nullptr);
    }
    Recorder recorder;
    auto invocation = Invocation::invocationForSelector(QStringLiteral("twice:"), &recorder);
    EXPECT_FALSE(invocation->performOnThread(ended, false));
}

} // namespace tavrel::test

#include "InvocationTest.moc"
