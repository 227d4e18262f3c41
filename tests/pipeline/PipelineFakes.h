#pragma once

#include "pipeline/GDManagerHandler.h"
#include "pipeline/GDManagerManager.h"
#include "pipeline/IServiceTicket.h"
#include "pipeline/TQAggregateOperation.h"
#include "pipeline/TQQueueManager.h"
#include "pipeline/TQSessionProtocol.h"
#include "pipeline/VUvodozuHandler.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Invocation.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QThread>
#include <QVariant>
#include <atomic>
#include <memory>
#include <mutex>

namespace tavrel::test {

// A stand-in for the store: one context per thread, records that are re-made per context by id.
class FakeContext : public QObject
{
    Q_OBJECT
public:
    explicit FakeContext(QThread* owner) : m_owner(owner) {}
    QThread* owner() const { return m_owner; }

private:
    QThread* m_owner;
};

struct FakeRecord
{
    int id = 0;
    FakeContext* context = nullptr;
};
using FakeRecordPtr = std::shared_ptr<FakeRecord>;

class FakeSession : public TQSessionProtocol
{
public:
    FakeSession();
    ~FakeSession() override;

    TQQueueManager* queueManager() const override { return m_queueManager.get(); }
    QVariant managedObjectContextForCurrentThread() override;
    QVariant masterManagedObjectContext() override;
    bool isManagedObjectContext(const QVariant& value) const override;
    QVariant fetchEntitiesFromObject(const QVariant& context, const QVariant& object,
                                     QVariant* detectedSource = nullptr) override;

    FakeContext* contextForThread(QThread* thread);
    // A record of the context (the same object for the same id).
    FakeRecordPtr record(FakeContext* context, int id);

private:
    std::mutex m_mutex;
    QHash<QThread*, FakeContext*> m_contexts;
    QHash<QPair<FakeContext*, int>, FakeRecordPtr> m_records;
    std::unique_ptr<TQQueueManager> m_queueManager;
};

// The store-side and service-side managers of the test handlers "thm<Action>" / "gdthm<Action>".
class TestServiceManager : public GDManagerManager
{
    Q_OBJECT
public:
    TestServiceManager() : GDManagerManager(nullptr) {}
    QString handlerPrefix() const override { return QStringLiteral("gdthm"); }
};

class TestManager : public VUvodozuManager
{
    Q_OBJECT
public:
    explicit TestManager(TQSessionProtocol* session) : VUvodozuManager(session) {}
    QString handlerPrefix() const override { return QStringLiteral("thm"); }
    GDManagerManager* gdataManager() const override { return const_cast<TestServiceManager*>(&m_service); }

private:
    TestServiceManager m_service;
};

// Base of the test store-side handlers: actions go on to the test service manager.
class TestHandler : public VUvodozuHandler
{
    Q_OBJECT
public:
    GDManagerManager* gdataManager() const override
    {
        return manager() ? manager()->gdataManager() : nullptr;
    }
};

// What the test handlers saw, for the tests to read.
struct HandlerLog
{
    static HandlerLog& shared();
    void clear();

    std::mutex mutex;
    int serviceCallsStarted = 0;
    QList<QVariantMap> serviceSideResults; // what gdthm*::defaultCallbackForParams received
    QList<QVariantMap> storeSideResults;   // what thm*::defaultCallbackForParams received
    QList<int> stepsRun;
    QVariant parameterSeenByHandler;
    QThread* handlerThread = nullptr;
    QThread* handlerAffinity = nullptr;
};

// Validates "name" (a string) and passes the action on as "Echo".
class thmEcho : public TestHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

// Runs in a background handler operation (heavy).
class thmHeavyEcho : public thmEcho
{
    Q_OBJECT
public:
    QString handlerOperationClass() const override;
};

// Quiet in the log.
class thmGetAvatar : public thmEcho
{
    Q_OBJECT
};

// Exists next to the operation class TQthmLookupOperation, which must win.
class thmLookup : public thmEcho
{
    Q_OBJECT
};

// Raises from inside the handler.
class thmThrows : public TestHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override { return result; }
};

// Passes each call up to the base, whose bodies of its pure methods log and raise.
class thmAbstract : public TestHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override
    {
        VUvodozuHandler::executeActionAndCall(invocation, parameters);
    }
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override
    {
        return VUvodozuHandler::defaultCallbackForParams(result);
    }
};

// Passes the action on to a service side that has no handler for it.
class thmNoServiceSide : public thmEcho
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
};

// One step of the test aggregate: answers at once, failing when its index is "failAt".
class thmStep : public TestHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override { return result; }
};

// A ticket held by the fake service call.
class FakeTicket : public IServiceTicket
{
public:
    QVariant propertyForKey(const QString& key) const override;
    void setProperty(const QString& key, const QVariant& value) override;
    QVariantMap properties() const override;
    QVariant ticketValue() const override { return QStringLiteral("ticket"); }

private:
    mutable std::mutex m_mutex;
    QVariantMap m_properties;
};

// The service side of "Echo": answers asynchronously on the calling thread, as the service does.
// "service" in the parameters chooses the answer: "ok" (feed = "answer"), "401", "500", "network",
// "noTicket", "hang" (never), "batch" (entries from "batchEntries": list of {id, status, reason}).
class gdthmEcho : public GDManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
    QList<BatchEntry> batchEntriesOfFeed(const QVariant& feed) const override;
};

// Found by name before the handler thmLookup; answers "operation" at once.
class TQthmLookupOperation : public TQOperation
{
    Q_OBJECT
public:
    void performOperation() override;
};

// Three steps "Step" with the indices 0, 1, 2.
class TQthmChainOperation : public TQAggregateOperation
{
    Q_OBJECT
public:
    void setup() override;
};

// An operation class whose set-up fails.
class TQthmBrokenOperation : public TQAggregateOperation
{
    Q_OBJECT
public:
    void setup() override;
};

// A requester recording its callbacks.
class Recorder : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void didFinishWithResult(const QVariant& result, const QVariant& error);

    int count() const { return m_count.load(); }
    QVariant result() const;
    Error error() const;
    QThread* thread() const;

private:
    mutable std::mutex m_mutex;
    std::atomic<int> m_count{0};
    QVariant m_result;
    Error m_error;
    QThread* m_thread = nullptr;
};

} // namespace tavrel::test

Q_DECLARE_METATYPE(tavrel::test::FakeRecordPtr)
