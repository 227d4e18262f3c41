#include "pipeline/VUvodozuManager.h"

#include "model/TQLocalizedStrings.h"
#include "model/TQMOCManager.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdater.h"
#include "pipeline/TQHandlerOperation.h"
#include "pipeline/TQQueueManager.h"
#include "pipeline/TQSessionProtocol.h"
#include "pipeline/VUvodozuHandler.h"
#include "platform/gdata/GDataAuthorizer.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/system/TQLog.h"

#include <QThread>

namespace tavrel {

VUvodozuManager::VUvodozuManager(TQSessionProtocol* session, QObject* parent)
    : QObject(parent), m_session(session), m_authentication(session ? session->authentication() : nullptr)
{}

VUvodozuManager::~VUvodozuManager() = default;

QString VUvodozuManager::handlerPrefix() const
{
    TQLog("E: Method to override");
    VUvodozuHandler::raiseUnrecognizedSelector(this, "handlerPrefix");
}

GDManagerManager* VUvodozuManager::gdataManager() const
{
    return nullptr;
}

void VUvodozuManager::start() {}
void VUvodozuManager::stop() {}
void VUvodozuManager::clean() {}

std::shared_ptr<GDataAuthorizer> VUvodozuManager::authentication() const
{
    return m_authentication;
}

void VUvodozuManager::setAuthentication(std::shared_ptr<GDataAuthorizer> authentication)
{
    m_authentication = std::move(authentication);
}

TQQueueManager* VUvodozuManager::queueManager() const
{
    return m_session ? m_session->queueManager() : nullptr;
}

TQMOCMaster* VUvodozuManager::masterMOC() const
{
    TQMOCManager* manager = m_session ? m_session->mocManager() : nullptr;
    return manager ? manager->masterMOC() : nullptr;
}

TQMOCMasterUpdater* VUvodozuManager::masterMOCUpdater() const
{
    TQMOCMaster* master = masterMOC();
    return master ? master->updater() : nullptr;
}

void VUvodozuManager::executeAction(const QString& action, const InvocationPtr& callback,
                                    const QVariantMap& parameters)
{
    const std::shared_ptr<TQOperation> operation = operationByActionName(action, callback, parameters);
    if (!operation) {
        // Nothing can run it: the requester must still hear of it, on its own thread, as of any failure.
        TQLog("E: No operation or handler for action %@", action);
        if (callback) {
            callback->setArgument(2, QVariant());
            callback->setArgument(3, QVariant::fromValue(unexpectedErrorWithReason(
                                         QStringLiteral("Unknown action: %1").arg(action))));
            callback->performOnThread(QThread::currentThread(), false);
        }
        return;
    }
    if (TQQueueManager* queues = queueManager())
        queues->scheduleOperation(operation);
}

std::shared_ptr<TQOperation> VUvodozuManager::operationByActionName(const QString& action,
                                                                    const InvocationPtr& callback,
                                                                    const QVariantMap& requested)
{
    // The requester's consumer is alive now, on its own thread; the workers that read the arguments later
    // see a guarded pointer, so a view closed before its action starts is never called.
    QVariantMap parameters = requested;
    if (QObject* consumer =
            TQOperation::progressConsumerOf(requested.value(TQOperation::kProgressConsumerKey)))
        parameters.insert(TQOperation::kProgressConsumerKey,
                          QVariant::fromValue(QPointer<QObject>(consumer)));
    const QString prefix = handlerPrefix();
    const QString operationClass = QStringLiteral("TQ%1%2Operation").arg(prefix, action);
    std::shared_ptr<TQOperation> operation;
    if (ClassRegistry::instance().classInherits<TQOperation>(operationClass)) {
        operation = ClassRegistry::instance().make<TQOperation>(operationClass);
    } else {
        const std::shared_ptr<VUvodozuHandler> handler = handlerByActionName(action);
        if (handler)
            operation = TQHandlerOperation::operationWithHandler(handler, handler->handlerOperationClass());
    }
    if (!operation)
        return nullptr;

    // The bridge holds the operation weakly until the operation performs it (then strongly), so an
    // operation that is never answered is not kept alive by its own callback.
    const InvocationPtr bridge = Invocation::invocationForSelector(kCallbackSelector, this);
    bridge->setArgument(4, QVariant::fromValue(callback));
    bridge->setArgument(5, QVariant::fromValue(TQOperationWeakPtr(operation)));

    operation->setCallback(bridge);
    operation->setName(action);
    operation->setArguments(parameters);
    operation->setSession(m_session);
    operation->setManager(this);
    operation->setProgressConsumer(
        TQOperation::progressConsumerOf(parameters.value(TQOperation::kProgressConsumerKey)));
    operation->setQueuePriority(parameters.contains(TQOperation::kQueuePriorityKey)
                                    ? parameters.value(TQOperation::kQueuePriorityKey).toInt()
                                    : 0);
    return operation;
}

std::shared_ptr<VUvodozuHandler> VUvodozuManager::handlerByActionName(const QString& action)
{
    const QString className = handlerPrefix() + action;
    auto handler = ClassRegistry::instance().make<VUvodozuHandler>(className);
    if (!handler) {
        TQLog("E: A VUvodozu Handler must conforms to VUvodozuHandlerProtocol");
        return nullptr;
    }
    handler->setSession(m_session);
    handler->setManager(this);
    // The handler lives on the worker thread that runs it; it is handed over there.
    handler->moveToThread(nullptr);
    return handler;
}

void VUvodozuManager::fetchManagedObjectCallbackArguments(const QVariant& result,
                                                          const QVariant& callbackError,
                                                          const QVariant& callback, const QVariant& operation)
{
    TQOperationPtr owner;
    if (operation.metaType() == QMetaType::fromType<TQOperationPtr>())
        owner = operation.value<TQOperationPtr>();
    else if (operation.metaType() == QMetaType::fromType<TQOperationWeakPtr>())
        owner = operation.value<TQOperationWeakPtr>().lock();

    const InvocationPtr requester = callback.value<InvocationPtr>();
    if (requester) {
        QVariant refetched = result;
        if (m_session) {
            QVariant context =
                owner ? owner->arguments().value(TQOperation::kManagedObjectContextKey) : QVariant();
            if (!m_session->isManagedObjectContext(context))
                context = m_session->masterManagedObjectContext();
            refetched = m_session->fetchEntitiesFromObject(context, result);
        }
        requester->setArgument(2, refetched);
        requester->setArgument(3, callbackError);
        requester->invoke();
    }
    if (owner)
        owner->setCallback(nullptr);
}

Error VUvodozuManager::unexpectedErrorWithReason(const QString& reason)
{
    QVariantMap info;
    info.insert(Error::kLocalizedDescriptionKey,
                TQLocalizedStrings::localizedStringForKey(QStringLiteral("UnexpectedError")));
    if (!reason.isEmpty())
        info.insert(Error::kLocalizedFailureReasonKey, reason);
    return Error(kErrorDomain, kUnexpectedErrorCode, info);
}

} // namespace tavrel
