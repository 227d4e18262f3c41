#pragma once

#include "PipelineFakes.h"
#include "platform/runtime/OperationQueue.h"
#include "platform/system/Paths.h"
#include "platform/system/TQLogger.h"
#include "support/TempHome.h"
#include "support/WaitUntil.h"

#include <QFile>
#include <memory>

namespace tavrel::test {

// A session with its queue manager and the test action manager ("thm" handlers).
class PipelineTest : public TempHomeTest
{
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        TQLogger::resetForTesting();
        HandlerLog::shared().clear();
        m_session = std::make_unique<FakeSession>();
        m_manager = std::make_unique<TestManager>(m_session.get());
    }
    void TearDown() override
    {
        // The queue manager goes first: it waits for the running operations.
        m_session.reset();
        m_manager.reset();
        TQLogger::resetForTesting();
        TempHomeTest::TearDown();
    }

    TQQueueManager* queues() const { return m_session->queueManager(); }
    static InvocationPtr callbackFor(Recorder& recorder)
    {
        return Invocation::invocationForSelector(QStringLiteral("didFinishWithResult:error:"), &recorder);
    }
    bool queuesEmpty() const
    {
        return queues()->heavyQueue()->operationCount() == 0 && queues()->lightQueue()->operationCount() == 0;
    }
    static QString logText()
    {
        QFile file(Paths::logFile());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    FakeContext* masterContext() const { return m_session->contextForThread(QThread::currentThread()); }

    std::unique_ptr<FakeSession> m_session;
    std::unique_ptr<TestManager> m_manager;
};

} // namespace tavrel::test
