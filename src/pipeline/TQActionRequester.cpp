#include "pipeline/TQActionRequester.h"

#include "platform/system/TQLog.h"

#include <mutex>

namespace tavrel {

namespace {

std::mutex& handlerMutex()
{
    static std::mutex mutex;
    return mutex;
}

TQActionRequester::ErrorHandler& errorHandler()
{
    static TQActionRequester::ErrorHandler handler;
    return handler;
}

} // namespace

TQActionRequester::TQActionRequester(QObject* parent) : QObject(parent) {}

void TQActionRequester::operationDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    defaultOperationDidFinish(this, result, error);
}

void TQActionRequester::defaultOperationDidFinish(QObject* sender, const QVariant& result,
                                                  const QVariant& error)
{
    Q_UNUSED(result);
    TQLog("Received action callback");
    const Error actionError = errorFromVariant(error);
    if (actionError.isNull())
        return;
    TQLog("E: Got error on requested operation: %@", actionError.description());
    ErrorHandler handler;
    {
        std::lock_guard lock(handlerMutex());
        handler = errorHandler();
    }
    if (handler)
        handler(actionError, sender);
}

void TQActionRequester::setErrorHandler(ErrorHandler handler)
{
    std::lock_guard lock(handlerMutex());
    errorHandler() = std::move(handler);
}

Error TQActionRequester::errorFromVariant(const QVariant& error)
{
    if (!error.isValid() || error.metaType() != QMetaType::fromType<Error>())
        return {};
    return error.value<Error>();
}

} // namespace tavrel
