#include "PipelineFakes.h"

#include "pipeline/TQBackgroundHandlerOperation.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/ThreadDispatch.h"

#include <QTimer>

namespace tavrel::test {

TAVREL_REGISTER_CLASS(thmEcho)
TAVREL_REGISTER_CLASS(thmHeavyEcho)
TAVREL_REGISTER_CLASS(thmLookup)
TAVREL_REGISTER_CLASS(thmGetAvatar)
TAVREL_REGISTER_CLASS(thmThrows)
TAVREL_REGISTER_CLASS(thmAbstract)
TAVREL_REGISTER_CLASS(thmNoServiceSide)
TAVREL_REGISTER_CLASS(thmStep)
TAVREL_REGISTER_CLASS(gdthmEcho)
TAVREL_REGISTER_CLASS(TQthmLookupOperation)
TAVREL_REGISTER_CLASS(TQthmChainOperation)
TAVREL_REGISTER_CLASS(TQthmBrokenOperation)

FakeSession::FakeSession() : m_queueManager(std::make_unique<TQQueueManager>(this)) {}

FakeSession::~FakeSession()
{
    m_queueManager.reset();
    qDeleteAll(m_contexts);
}

FakeContext* FakeSession::contextForThread(QThread* thread)
{
    std::lock_guard lock(m_mutex);
    FakeContext*& context = m_contexts[thread];
    if (!context)
        context = new FakeContext(thread);
    return context;
}

FakeRecordPtr FakeSession::record(FakeContext* context, int id)
{
    std::lock_guard lock(m_mutex);
    FakeRecordPtr& record = m_records[qMakePair(context, id)];
    if (!record)
        record = std::make_shared<FakeRecord>(FakeRecord{id, context});
    return record;
}

QVariant FakeSession::managedObjectContextForCurrentThread()
{
    return QVariant::fromValue(contextForThread(QThread::currentThread()));
}

QVariant FakeSession::masterManagedObjectContext()
{
    return QVariant::fromValue(contextForThread(ThreadDispatch::mainThread()));
}

bool FakeSession::isManagedObjectContext(const QVariant& value) const
{
    return (value.metaType().flags() & QMetaType::PointerToQObject) &&
           qobject_cast<FakeContext*>(value.value<QObject*>());
}

QVariant FakeSession::fetchEntitiesFromObject(const QVariant& context, const QVariant& object,
                                              QVariant* detectedSource)
{
    auto* target = qobject_cast<FakeContext*>(context.value<QObject*>());
    if (object.metaType() == QMetaType::fromType<FakeRecordPtr>()) {
        const FakeRecordPtr source = object.value<FakeRecordPtr>();
        if (!source)
            return object;
        if (detectedSource)
            *detectedSource = QVariant::fromValue(source->context);
        return target ? QVariant::fromValue(record(target, source->id)) : object;
    }
    if (object.metaType() == QMetaType::fromType<QVariantList>()) {
        QVariantList list;
        for (const QVariant& element : object.toList())
            list.append(fetchEntitiesFromObject(context, element, detectedSource));
        return list;
    }
    if (object.metaType() == QMetaType::fromType<QVariantMap>()) {
        QVariantMap map;
        const QVariantMap source = object.toMap();
        for (auto it = source.cbegin(); it != source.cend(); ++it)
            map.insert(it.key(), fetchEntitiesFromObject(context, it.value(), detectedSource));
        return map;
    }
    return object;
}

HandlerLog& HandlerLog::shared()
{
    static HandlerLog log;
    return log;
}

void HandlerLog::clear()
{
    std::lock_guard lock(mutex);
    serviceCallsStarted = 0;
    serviceSideResults.clear();
    storeSideResults.clear();
    stepsRun.clear();
    parameterSeenByHandler = QVariant();
    handlerThread = nullptr;
    handlerAffinity = nullptr;
}

void thmEcho::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    {
        HandlerLog& log = HandlerLog::shared();
        std::lock_guard lock(log.mutex);
        log.handlerThread = QThread::currentThread();
        log.handlerAffinity = thread();
        log.parameterSeenByHandler = parameters.value(QStringLiteral("record"));
    }
    if (parameters.value(QStringLiteral("name")).metaType() != QMetaType::fromType<QString>()) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    gdataManager()->executeAction(QStringLiteral("Echo"), invocation, parameters);
}

QVariantMap thmEcho::defaultCallbackForParams(const QVariantMap& result)
{
    HandlerLog& log = HandlerLog::shared();
    std::lock_guard lock(log.mutex);
    log.storeSideResults.append(result);
    return result;
}

QString thmHeavyEcho::handlerOperationClass() const
{
    return TQBackgroundHandlerOperation::kClassName;
}

void thmThrows::executeActionAndCall(const InvocationPtr&, const QVariantMap&)
{
    throw Exception(QStringLiteral("TestException"), QStringLiteral("boom"));
}

void thmNoServiceSide::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    gdataManager()->executeAction(QStringLiteral("Missing"), invocation, parameters);
}

void thmStep::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const int index = parameters.value(QStringLiteral("index")).toInt();
    {
        HandlerLog& log = HandlerLog::shared();
        std::lock_guard lock(log.mutex);
        log.stepsRun.append(index);
    }
    if (index == parameters.value(QStringLiteral("failAt"), -1).toInt())
        callExternalInvocation(invocation, QVariant(), missingParameterError());
    else
        callExternalInvocation(invocation, index, Error());
}

QVariant FakeTicket::propertyForKey(const QString& key) const
{
    std::lock_guard lock(m_mutex);
    return m_properties.value(key);
}

void FakeTicket::setProperty(const QString& key, const QVariant& value)
{
    std::lock_guard lock(m_mutex);
    if (value.isValid())
        m_properties.insert(key, value);
    else
        m_properties.remove(key);
}

QVariantMap FakeTicket::properties() const
{
    std::lock_guard lock(m_mutex);
    return m_properties;
}

void gdthmEcho::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    {
        HandlerLog& log = HandlerLog::shared();
        std::lock_guard lock(log.mutex);
        ++log.serviceCallsStarted;
    }
    const QString mode = parameters.value(QStringLiteral("service")).toString();
    if (mode == QLatin1String("noTicket")) {
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
        return;
    }
    if (mode == QLatin1String("hang"))
        return;
    auto ticket = std::make_shared<FakeTicket>();
    ticket->setProperty(kInvocationKey, QVariant::fromValue(invocation));
    ticket->setProperty(kParameterKey, parameters);
    ticket->setProperty(kFetcherKey, QStringLiteral("fetcher"));
    // The ticket holds the chain, and through it this handler, until the answer.
    QTimer::singleShot(0, ThreadDispatch::contextForCurrentThread(), [this, ticket, mode, parameters] {
        if (mode == QLatin1String("batch")) {
            _defaultCallbackForBatchFeed(*ticket, parameters.value(QStringLiteral("batchEntries")), Error());
            return;
        }
        Error error;
        if (mode == QLatin1String("401"))
            error = Error(kServiceErrorDomain, 401,
                          {{Error::kLocalizedDescriptionKey, QStringLiteral("Token expired")}});
        else if (mode == QLatin1String("500"))
            error = Error(kServiceErrorDomain, 500,
                          {{Error::kLocalizedDescriptionKey, QStringLiteral("Server broke")}});
        else if (mode == QLatin1String("network"))
            error = Error(QStringLiteral("GTMHTTPFetcherErrorDomain"), 99);
        _defaultCallbackForFeed(
            *ticket, error.isNull() ? parameters.value(QStringLiteral("answer")) : QVariant(), error);
    });
}

QVariantMap gdthmEcho::defaultCallbackForParams(const QVariantMap& result)
{
    HandlerLog& log = HandlerLog::shared();
    std::lock_guard lock(log.mutex);
    log.serviceSideResults.append(result);
    return result;
}

QList<GDManagerHandler::BatchEntry> gdthmEcho::batchEntriesOfFeed(const QVariant& feed) const
{
    QList<BatchEntry> entries;
    for (const QVariant& value : feed.toList()) {
        const QVariantMap row = value.toMap();
        BatchEntry entry;
        entry.entry = row.value(QStringLiteral("id"));
        entry.batchIdentifier = row.value(QStringLiteral("id")).toString();
        entry.statusCode = row.value(QStringLiteral("status")).toInt();
        entry.reason = row.value(QStringLiteral("reason")).toString();
        entry.interrupted = row.value(QStringLiteral("interrupted")).toBool();
        entries.append(entry);
    }
    return entries;
}

void TQthmLookupOperation::performOperation()
{
    performCallbackWithResult(QStringLiteral("operation"), QVariant());
    setFinished(true);
}

void TQthmChainOperation::setup()
{
    const QVariant failAt = arguments().value(QStringLiteral("failAt"), -1);
    for (int index = 0; index < 3; ++index)
        addStep(QStringLiteral("Step"),
                {{QStringLiteral("index"), index}, {QStringLiteral("failAt"), failAt}});
}

void TQthmBrokenOperation::setup()
{
    throw Exception(QStringLiteral("TestException"), QStringLiteral("broken setup"));
}

void Recorder::didFinishWithResult(const QVariant& result, const QVariant& error)
{
    std::lock_guard lock(m_mutex);
    m_result = result;
    m_error = error.metaType() == QMetaType::fromType<Error>() ? error.value<Error>() : Error();
    m_thread = QThread::currentThread();
    ++m_count;
}

QVariant Recorder::result() const
{
    std::lock_guard lock(m_mutex);
    return m_result;
}

Error Recorder::error() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

QThread* Recorder::thread() const
{
    std::lock_guard lock(m_mutex);
    return m_thread;
}

} // namespace tavrel::test
