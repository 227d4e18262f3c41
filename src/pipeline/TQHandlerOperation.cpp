#include "pipeline/TQHandlerOperation.h"

#include "pipeline/TQInvocationBroker.h"
#include "pipeline/TQQueueManager.h"
#include "pipeline/VUvodozuHandler.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/Exception.h"
#include "platform/system/TQLog.h"

#include <exception>
#include <mutex>

namespace tavrel {

TAVREL_REGISTER_CLASS(TQHandlerOperation)

namespace {

const QString kGetAvatar = QStringLiteral("GetAvatar");

} // namespace

TQHandlerOperation::TQHandlerOperation() = default;

TQHandlerOperation::~TQHandlerOperation()
{
    cutBroker();
}

std::shared_ptr<TQHandlerOperation>
TQHandlerOperation::operationWithHandler(const std::shared_ptr<VUvodozuHandler>& handler,
                                         const QString& operationClass)
{
    if (!handler) {
        TQLog("E: HandlerOperation: absent required argument - aHandler");
        return nullptr;
    }
    auto operation = ClassRegistry::instance().make<TQHandlerOperation>(operationClass);
    if (!operation) {
        TQLog("E: HandlerOperation: %@ is not a handler operation class", operationClass);
        return nullptr;
    }
    operation->setHandler(handler);
    return operation;
}

std::shared_ptr<VUvodozuHandler> TQHandlerOperation::handler() const
{
    std::lock_guard lock(mutex());
    return m_handler;
}

void TQHandlerOperation::setHandler(const std::shared_ptr<VUvodozuHandler>& handler)
{
    std::lock_guard lock(mutex());
    m_handler = handler;
}

std::shared_ptr<TQInvocationBroker> TQHandlerOperation::broker() const
{
    std::lock_guard lock(mutex());
    return m_broker;
}

void TQHandlerOperation::setBroker(const std::shared_ptr<TQInvocationBroker>& broker)
{
    std::lock_guard lock(mutex());
    m_broker = broker;
}

void TQHandlerOperation::cutBroker()
{
    if (auto current = broker())
        current->setTarget(nullptr);
}

void TQHandlerOperation::cancel()
{
    cutBroker();
    TQOperation::cancel();
}

void TQHandlerOperation::main()
{
    const QString actionName = name();
    try {
        if (actionName != kGetAvatar)
            TQLog("Started handler operation: %@", actionName);
        TQQueueManager* queues = queueManager();
        if (queues && queues->isRedundant(this)) {
            cancel();
        } else {
            fetchManagedObjectInCurrentContext();
            const std::shared_ptr<VUvodozuHandler> target = handler();
            if (!target)
                throw Exception(Exception::kInternalInconsistencyException,
                                QStringLiteral("A handler operation without a handler"));
            if (!target->thread())
                target->moveToThread(QThread::currentThread());
            const auto self = std::static_pointer_cast<TQHandlerOperation>(shared_from_this());
            const InvocationPtr first =
                Invocation::invocationForSelector(VUvodozuHandler::kDefaultCallbackSelector, target);
            const std::weak_ptr<TQHandlerOperation> weakSelf = self;
            // The handler's own step of the chain; a failure inside it ends the operation with an
            // error instead of unwinding through the worker's event loop.
            const InvocationPtr encapsulation = Invocation::invocationWithFunction(
                Invocation::kEncapsulateSelector, [target, weakSelf](Invocation& step) {
                    try {
                        target->_encapsulateInvocation(step.argument(2).value<InvocationPtr>(),
                                                       step.argument(3).value<InvocationPtr>(),
                                                       step.argument(4));
                    } catch (const std::exception& exception) {
                        if (auto operation = weakSelf.lock())
                            operation->failWithException(exception);
                    }
                    return QVariant();
                });
            cutBroker();
            auto relay = std::make_shared<TQInvocationBroker>();
            relay->setTarget(self);
            setBroker(relay);
            const InvocationPtr second =
                Invocation::invocationForSelector(TQInvocationBroker::kHandlerDidFinishSelector, relay);
            const InvocationPtr chain =
                Invocation::invocationWithInvocation(first, second, QVariant(), encapsulation);
            target->executeActionAndCall(chain, arguments());
        }
        TQOperation::main();
    } catch (const std::exception& exception) {
        failWithException(exception);
    }
}

void TQHandlerOperation::failWithException(const std::exception& exception)
{
    const QString description = exceptionDescription(exception);
    TQLog("E: Exception did happen for action %@\n%@ trace: %@", name(), description,
          QStringLiteral("(not available)"));
    // A failure must reach the requester as one, never as an empty success.
    handlerDidFinishWithResult(QVariant(),
                               QVariant::fromValue(VUvodozuManager::unexpectedErrorWithReason(description)));
}

void TQHandlerOperation::handlerDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    // An answer after a time-out or a cancel is dropped.
    if (isFinished())
        return;
    performCallbackWithResult(result, error);
    const QString actionName = name();
    if (actionName != kGetAvatar) {
        TQLog("Finished handler operation: %@", actionName);
        if (error.isValid() && error.metaType() == QMetaType::fromType<Error>() &&
            !error.value<Error>().isNull())
            TQLog("E: %@", error.value<Error>().localizedDescription());
    }
    setFinished(true);
}

void TQHandlerOperation::handleOperationTimeout()
{
    handlerDidFinishWithResult(QVariant(), QVariant::fromValue(Error(Error::kPOSIXErrorDomain, 60)));
}

} // namespace tavrel
