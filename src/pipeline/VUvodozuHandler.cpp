#include "pipeline/VUvodozuHandler.h"

#include "model/TQLocalizedStrings.h"
#include "model/TQMOCManager.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdater.h"
#include "pipeline/GDManagerManager.h"
#include "pipeline/TQHandlerOperation.h"
#include "pipeline/TQSessionProtocol.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/runtime/Exception.h"
#include "platform/system/TQLog.h"

namespace tavrel {

namespace {

QVariant errorValue(const Error& error)
{
    return error.isNull() ? QVariant() : QVariant::fromValue(error);
}

Error errorOf(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<Error>() ? value.value<Error>() : Error();
}

} // namespace

VUvodozuHandler::VUvodozuHandler() = default;
VUvodozuHandler::~VUvodozuHandler() = default;

VUvodozuManager* VUvodozuHandler::manager() const
{
    return qobject_cast<VUvodozuManager*>(m_manager.data());
}

void VUvodozuHandler::setManager(VUvodozuManager* manager)
{
    m_manager = manager;
}

TQMOCManager* VUvodozuHandler::mocManager() const
{
    return m_session ? m_session->mocManager() : nullptr;
}

TQMOCMaster* VUvodozuHandler::masterMOC() const
{
    TQMOCManager* manager = mocManager();
    return manager ? manager->masterMOC() : nullptr;
}

TQMOCMasterUpdater* VUvodozuHandler::masterMOCUpdater() const
{
    TQMOCMaster* master = masterMOC();
    return master ? master->updater() : nullptr;
}

GDManagerManager* VUvodozuHandler::gdataManager() const
{
    TQLog("E: Must override gdataManager method for a VUvodozuHandler");
    raiseUnrecognizedSelector(this, "gdataManager");
}

void VUvodozuHandler::callExternalInvocation(const InvocationPtr& invocation, const QVariant& feed,
                                             const Error& error) const
{
    if (!invocation)
        return;
    QVariantMap result;
    result.insert(kFeedKey, feed);
    result.insert(kErrorKey, errorValue(error));
    invocation->setArgument(4, result);
    invocation->invoke();
}

void VUvodozuHandler::_encapsulateInvocation(const InvocationPtr& first, const InvocationPtr& second,
                                             const QVariant& parameter)
{
    const QVariantMap mapped = defaultHandlingError(parameter.toMap());
    QVariantMap answer;
    if (first) {
        first->setArgument(2, mapped);
        first->invoke();
        answer = first->returnValue().toMap();
    }
    if (!second)
        return;
    second->setArgument(2, answer.value(kFeedKey));
    second->setArgument(3, errorValue(errorOf(answer.value(kErrorKey))));
    second->invoke();
}

void VUvodozuHandler::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    Q_UNUSED(invocation);
    Q_UNUSED(parameters);
    TQLog("E: Must override executeActionAndCall:invoke:parameters method for a VUvodozuHandler");
    raiseUnrecognizedSelector(this, "executeActionAndCall:parameters:");
}

QVariantMap VUvodozuHandler::defaultCallbackForParams(const QVariantMap& result)
{
    Q_UNUSED(result);
    TQLog("E: Must override defaultCallbackForParams method for a VUvodozuHandler");
    raiseUnrecognizedSelector(this, "defaultCallbackForParams:");
}

QVariantMap VUvodozuHandler::defaultHandlingError(const QVariantMap& result)
{
    QVariantMap mapped = result;
    const QVariant value = result.value(kErrorKey);
    Error error = errorOf(value);
    if (error.domain() == GDManagerManager::kErrorDomain) {
        switch (error.code()) {
        case GDManagerManager::kServiceErrorCode:
            error = Error::errorWithError(
                Error::errorWithError(error, VUvodozuManager::kErrorDomain,
                                      VUvodozuManager::kUnexpectedErrorCode),
                TQLocalizedStrings::localizedStringForKey(QStringLiteral("UnexpectedError")));
            mapped.insert(kFeedKey, QVariant());
            break;
        case GDManagerManager::kBatchErrorCode:
            error = Error::errorWithError(
                Error::errorWithError(error, VUvodozuManager::kErrorDomain,
                                      VUvodozuManager::kSomeFetchErrorCode),
                TQLocalizedStrings::localizedStringForKey(QStringLiteral("SomeFetchError")));
            break;
        case GDManagerManager::kNotAuthorizedErrorCode:
            error = Error::errorWithError(error, VUvodozuManager::kErrorDomain,
                                          VUvodozuManager::kNotAuthorizedErrorCode);
            mapped.insert(kFeedKey, QVariant());
            break;
        default:
            break;
        }
        mapped.insert(kErrorKey, QVariant::fromValue(error));
    } else {
        mapped.insert(kErrorKey, value);
    }
    return mapped;
}

QString VUvodozuHandler::handlerOperationClass() const
{
    return TQHandlerOperation::kClassName;
}

void VUvodozuHandler::forwardActionToService(const QString& action, const InvocationPtr& invocation,
                                             const QVariantMap& parameters,
                                             const QString& noServiceReason) const
{
    GDManagerManager* service = gdataManager();
    if (!service) {
        callExternalInvocation(invocation, QVariant(),
                               VUvodozuManager::unexpectedErrorWithReason(noServiceReason));
        return;
    }
    service->executeAction(action, invocation, parameters);
}

Error VUvodozuHandler::missingParameterError()
{
    return Error(VUvodozuManager::kErrorDomain, VUvodozuManager::kMissingParameterErrorCode);
}

void VUvodozuHandler::raiseUnrecognizedSelector(const QObject* receiver, const char* selector)
{
    const QString className = receiver ? QString::fromLatin1(receiver->metaObject()->className()) : QString();
    throw Exception(Exception::kInvalidArgumentException,
                    QStringLiteral("-[%1 %2]: unrecognized selector sent to instance")
                        .arg(className.section(QStringLiteral("::"), -1), QString::fromLatin1(selector)));
}

} // namespace tavrel
