#include "pipeline/GDManagerManager.h"

#include "pipeline/GDManagerHandler.h"
#include "pipeline/VUvodozuHandler.h"
#include "platform/gdata/GDataAuthorizer.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/Exception.h"
#include "platform/system/TQLog.h"

namespace tavrel {

GDManagerManager::GDManagerManager(std::shared_ptr<GDataAuthorizer> authentication, QObject* parent)
    : QObject(parent), m_authentication(std::move(authentication))
{}

GDManagerManager::~GDManagerManager() = default;

QString GDManagerManager::handlerPrefix() const
{
    VUvodozuHandler::raiseUnrecognizedSelector(this, "handlerPrefix");
}

void GDManagerManager::executeAction(const QString& action, const InvocationPtr& call,
                                     const QVariantMap& parameters)
{
    const std::shared_ptr<GDManagerHandler> handler = handlerByActionName(action);
    if (!handler)
        throw Exception(Exception::kInvalidArgumentException,
                        QStringLiteral("No service-side handler for action %1").arg(action));
    const InvocationPtr first =
        Invocation::invocationForSelector(GDManagerHandler::kDefaultCallbackSelector, handler);
    const InvocationPtr encapsulation =
        Invocation::invocationWithFunction(Invocation::kEncapsulateSelector, [handler](Invocation& step) {
            const InvocationPtr storeSide = step.argument(3).value<InvocationPtr>();
            try {
                handler->_encapsulateInvocation(step.argument(2).value<InvocationPtr>(), storeSide,
                                                step.argument(4));
            } catch (const std::exception& exception) {
                // Runs inside the worker's event loop: answer the store side instead of unwinding.
                TQLog("E: Exception did happen in service handler: %@", QString::fromUtf8(exception.what()));
                if (storeSide) {
                    QVariantMap answer;
                    answer.insert(kFeedKey, QVariant());
                    answer.insert(kErrorKey,
                                  QVariant::fromValue(Error(kErrorDomain, kServiceErrorCode,
                                                            {{Error::kLocalizedFailureReasonKey,
                                                              QString::fromUtf8(exception.what())}})));
                    storeSide->setArgument(4, answer);
                    storeSide->invoke();
                }
            }
            return QVariant();
        });
    const InvocationPtr chain = Invocation::invocationWithInvocation(first, call, QVariant(), encapsulation);
    handler->executeActionAndCall(chain, parameters);
}

std::shared_ptr<GDManagerHandler> GDManagerManager::handlerByActionName(const QString& action)
{
    auto handler = ClassRegistry::instance().make<GDManagerHandler>(handlerPrefix() + action);
    if (!handler) {
        TQLog("E: A GDManager Handler must conforms to GDManagerHandlerProtocol");
        return nullptr;
    }
    handler->setGdataManager(this);
    return handler;
}

} // namespace tavrel
