#include "pipeline/TQOperation.h"

#include "pipeline/TQQueueManager.h"
#include "pipeline/TQSessionProtocol.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/gdata/GDataAuthorizer.h"
#include "platform/runtime/Exception.h"
#include "platform/system/TQLog.h"
#include "progress/IProgressConsumer.h"

#include <atomic>
#include <mutex>

namespace tavrel {

namespace {

std::atomic<quint64> g_nextActionNumber{1};
std::atomic<quint64> g_nextScheduleSequence{1};

bool isStringOrNumber(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::QString:
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

} // namespace

TQOperation::TQOperation() : m_actionNumber(g_nextActionNumber.fetch_add(1))
{
    m_arguments.insert(kActionIDKey, actionID());
}

TQOperation::~TQOperation() = default;

QString TQOperation::name() const
{
    {
        std::lock_guard lock(mutex());
        if (!m_name.isNull())
            return m_name;
    }
    // The class of the whole object, known only once it is made.
    return QString::fromLatin1(metaObject()->className()).section(QStringLiteral("::"), -1);
}

void TQOperation::setName(const QString& name)
{
    std::lock_guard lock(mutex());
    m_name = name;
}

QDateTime TQOperation::scheduleDate() const
{
    std::lock_guard lock(mutex());
    return m_scheduleDate;
}

void TQOperation::setScheduleDate(const QDateTime& date)
{
    std::lock_guard lock(mutex());
    m_scheduleDate = date;
    m_scheduleSequence = date.isValid() ? g_nextScheduleSequence.fetch_add(1) : 0;
}

quint64 TQOperation::scheduleSequence() const
{
    std::lock_guard lock(mutex());
    return m_scheduleSequence;
}

QVariantMap TQOperation::arguments() const
{
    std::lock_guard lock(mutex());
    return m_arguments;
}

void TQOperation::setArguments(const QVariantMap& arguments)
{
    QVariantMap stored = arguments;
    stored.insert(kActionIDKey, actionID());
    std::lock_guard lock(mutex());
    m_arguments = std::move(stored);
}

QString TQOperation::actionID() const
{
    return QStringLiteral("id__%1").arg(m_actionNumber);
}

bool TQOperation::isHeavy() const
{
    std::lock_guard lock(mutex());
    return m_heavy;
}

void TQOperation::setIsHeavy(bool heavy)
{
    std::lock_guard lock(mutex());
    m_heavy = heavy;
}

double TQOperation::timeout() const
{
    {
        std::lock_guard lock(mutex());
        if (m_timeout >= 0)
            return m_timeout;
    }
    return defaultTimeout();
}

void TQOperation::setTimeout(double seconds)
{
    std::lock_guard lock(mutex());
    m_timeout = seconds;
}

double TQOperation::defaultTimeout() const
{
    return kOperationTimeout.seconds();
}

QThread* TQOperation::originThread() const
{
    std::lock_guard lock(mutex());
    return m_originThread;
}

void TQOperation::setOriginThread(QThread* thread)
{
    std::lock_guard lock(mutex());
    m_originThread = thread;
}

InvocationPtr TQOperation::callback() const
{
    std::lock_guard lock(mutex());
    return m_callback;
}

void TQOperation::setCallback(const InvocationPtr& callback)
{
    InvocationPtr old;
    std::lock_guard lock(mutex());
    if (m_callback == callback)
        return;
    // The old one may hold the last reference to this operation's requester: release it after.
    old = std::move(m_callback);
    m_callback = callback;
}

QObject* TQOperation::progressConsumerOf(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<QPointer<QObject>>())
        return value.value<QPointer<QObject>>().data();
    if (value.metaType().flags() & QMetaType::PointerToQObject)
        return value.value<QObject*>();
    return nullptr;
}

QObject* TQOperation::progressConsumer() const
{
    std::lock_guard lock(mutex());
    return m_progressConsumer.data();
}

void TQOperation::setProgressConsumer(QObject* consumer)
{
    std::lock_guard lock(mutex());
    m_progressConsumer = consumer;
}

TQOperation::DependencyChecker TQOperation::dependencyChecker() const
{
    std::lock_guard lock(mutex());
    return m_dependencyChecker;
}

void TQOperation::setDependencyChecker(DependencyChecker checker)
{
    std::lock_guard lock(mutex());
    m_dependencyChecker = std::move(checker);
}

bool TQOperation::isExclusive() const
{
    std::lock_guard lock(mutex());
    return m_exclusive;
}

void TQOperation::setIsExclusive(bool exclusive)
{
    std::lock_guard lock(mutex());
    m_exclusive = exclusive;
}

OperationQueue* TQOperation::queue() const
{
    std::lock_guard lock(mutex());
    return m_queue;
}

void TQOperation::setQueue(OperationQueue* queue)
{
    std::lock_guard lock(mutex());
    m_queue = queue;
}

TQSessionProtocol* TQOperation::session() const
{
    std::lock_guard lock(mutex());
    return m_session;
}

void TQOperation::setSession(TQSessionProtocol* session)
{
    std::lock_guard lock(mutex());
    m_session = session;
}

TQQueueManager* TQOperation::queueManager() const
{
    TQSessionProtocol* owner = session();
    return owner ? owner->queueManager() : nullptr;
}

std::shared_ptr<GDataAuthorizer> TQOperation::authentication() const
{
    TQSessionProtocol* owner = session();
    return owner ? owner->authentication() : nullptr;
}

VUvodozuManager* TQOperation::manager() const
{
    std::lock_guard lock(mutex());
    return m_manager.data();
}

void TQOperation::setManager(VUvodozuManager* manager)
{
    std::lock_guard lock(mutex());
    m_manager = manager;
}

QStringList TQOperation::keyArguments() const
{
    QStringList keys;
    const QVariantMap all = arguments();
    for (auto it = all.cbegin(); it != all.cend(); ++it)
        if (!isStringOrNumber(it.value()))
            keys.append(it.key());
    return keys;
}

void TQOperation::setup() {}

QStringList TQOperation::dependentOperationNames() const
{
    return {};
}

void TQOperation::handleOperationTimeout() {}

void TQOperation::performOperation()
{
    const bool heavy = isHeavy();
    const qint64 timeoutMs = qint64(timeout() * 1000.0);
    const int sliceMs = int(std::max<qint64>(1, timeoutMs / 5));
    waitUntil([this] { return isFinished(); }, heavy ? -1 : timeoutMs, sliceMs);
    if (isFinished())
        return;
    if (!isCancelled()) {
        TQLog("E: Got timeout for operation: %@ => \n%@", name(), describeArguments(arguments()));
        handleOperationTimeout();
    }
    setFinished(true);
}

void TQOperation::fetchManagedObjectInCurrentContext()
{
    QVariantMap fetched = arguments();
    // The null object until a record shows where the arguments came from.
    QVariant source;
    if (TQSessionProtocol* owner = session()) {
        const QVariant context = owner->managedObjectContextForCurrentThread();
        fetched = owner->fetchEntitiesFromObject(context, fetched, &source).toMap();
    }
    if (!fetched.contains(kManagedObjectContextKey))
        fetched.insert(kManagedObjectContextKey, source);
    setArguments(fetched);
}

void TQOperation::cancel()
{
    Operation::cancel();
}

void TQOperation::main()
{
    try {
        setup();
        TQQueueManager* queues = queueManager();
        if (isCancelled() || (queues && queues->isRedundant(this))) {
            setFinished(true);
            return;
        }
        IProgressConsumer::sendActionWillStart(progressConsumer(), name(), arguments());
        fetchManagedObjectInCurrentContext();
        performOperation();
        IProgressConsumer::sendActionDidFinish(progressConsumer(), name(), arguments());
    } catch (const std::exception& exception) {
        failWithException(exception);
    }
}

QString TQOperation::exceptionDescription(const std::exception& exception)
{
    if (const auto* named = dynamic_cast<const Exception*>(&exception))
        return QStringLiteral("%1: %2").arg(named->name(), named->reason());
    return QString::fromUtf8(exception.what());
}

void TQOperation::failWithException(const std::exception& exception)
{
    const QString description = exceptionDescription(exception);
    TQLog("E: Exception did happen for action %@\n%@ trace: %@", name(), description,
          QStringLiteral("(not available)"));
    // A failure must reach the requester as one, never as silence or an empty success.
    performCallbackWithResult(QVariant(),
                              QVariant::fromValue(VUvodozuManager::unexpectedErrorWithReason(description)));
    setFinished(true);
}

bool TQOperation::performCallbackWithResult(const QVariant& result, const QVariant& error)
{
    InvocationPtr callback;
    QThread* thread = nullptr;
    {
        std::lock_guard lock(mutex());
        if (m_calledBack || !m_callback || isCancelled() || isFinished())
            return false;
        m_calledBack = true;
        // Taken out: from here the callback holds this operation, not the other way round.
        callback = std::move(m_callback);
        thread = m_originThread;
    }
    callback->setArgument(2, result);
    callback->setArgument(3, error);
    // A callback that reaches back to this operation keeps it until it has run.
    const QVariant self = callback->argument(5);
    if (self.metaType() == QMetaType::fromType<TQOperationWeakPtr>() &&
        self.value<TQOperationWeakPtr>().lock().get() == this)
        callback->setArgument(5, QVariant::fromValue(self.value<TQOperationWeakPtr>().lock()));
    if (!thread)
        return callback->invoke();
    if (callback->performOnThread(thread, false))
        return true;
    TQLog("E: Operation %@ could not reach the thread that scheduled it", name());
    return false;
}

QString TQOperation::describeArguments(const QVariantMap& arguments)
{
    QStringList lines;
    for (auto it = arguments.cbegin(); it != arguments.cend(); ++it) {
        const QVariant& value = it.value();
        QString text;
        if (!value.isValid())
            text = QStringLiteral("<null>");
        else if (value.canConvert<QString>() && !value.toString().isEmpty())
            text = value.toString();
        else
            text = QStringLiteral("<%1>").arg(QString::fromLatin1(value.typeName()));
        lines.append(QStringLiteral("    %1 = %2;").arg(it.key(), text));
    }
    return QStringLiteral("{\n%1\n}").arg(lines.join(QLatin1Char('\n')));
}

} // namespace tavrel
