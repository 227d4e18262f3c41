#pragma once

#include "platform/runtime/Error.h"

#include <QObject>
#include <QVariant>
#include <functional>

namespace tavrel {

// What a requester of an action is on the core side: a QObject whose callback method the pipeline
// invokes by selector with (result, error) on the requester's thread. operationDidFinishWithResult:error:
// is the default callback; the error it receives goes on towards the application through the error
// handler (views pass it up to the application, which shows it). Classes that can't derive from this
// one (views) call defaultOperationDidFinish() from their own method.
class TQActionRequester : public QObject
{
    Q_OBJECT
public:
    static inline const QString kDefaultCallbackSelector =
        QStringLiteral("operationDidFinishWithResult:error:");

    // Receives an action's error and the requester that got it; runs on the requester's thread.
    using ErrorHandler = std::function<void(const Error& error, QObject* sender)>;

    explicit TQActionRequester(QObject* parent = nullptr);

    Q_INVOKABLE virtual void operationDidFinishWithResult(const QVariant& result, const QVariant& error);

    // Logs the callback; a real error is logged and handed to the error handler.
    static void defaultOperationDidFinish(QObject* sender, const QVariant& result, const QVariant& error);
    // Replaces the handler (none: the error is only logged).
    static void setErrorHandler(ErrorHandler handler);
    // The error inside a callback argument; a null error for nil or the null object.
    static Error errorFromVariant(const QVariant& error);
};

} // namespace tavrel
