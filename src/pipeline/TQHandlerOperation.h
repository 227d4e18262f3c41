#pragma once

#include "pipeline/TQOperation.h"

#include <exception>
#include <memory>

namespace tavrel {

class TQInvocationBroker;
class VUvodozuHandler;

// Runs one store-side handler: builds the chain through which the handler's answer comes back
// (handler's defaultCallbackForParams:, then this operation through its broker), calls the handler,
// waits for the answer and performs the requester's callback with it on the thread of origin.
class TQHandlerOperation : public TQOperation
{
    Q_OBJECT
public:
    static inline const QString kClassName = QStringLiteral("TQHandlerOperation");

    TQHandlerOperation();
    ~TQHandlerOperation() override;

    // A new operation of the named class (TQHandlerOperation or a subclass) running the handler;
    // nullptr for a null handler (logged) or a class that is not a handler operation.
    static std::shared_ptr<TQHandlerOperation>
    operationWithHandler(const std::shared_ptr<VUvodozuHandler>& handler,
                         const QString& operationClass = kClassName);

    std::shared_ptr<VUvodozuHandler> handler() const;
    void setHandler(const std::shared_ptr<VUvodozuHandler>& handler);
    std::shared_ptr<TQInvocationBroker> broker() const;
    void setBroker(const std::shared_ptr<TQInvocationBroker>& broker);

    // The handler's answer: performs the callback with it (unless cancelled or already finished), logs
    // and finishes.
    void handlerDidFinishWithResult(const QVariant& result, const QVariant& error);
    // POSIX error 60 (timed out) to the requester.
    void handleOperationTimeout() override;
    void cancel() override;

protected:
    void main() override;

    // Logs the exception and answers the requester with error 703 (when not finished yet).
    void failWithException(const std::exception& exception) override;

private:
    void cutBroker();

    std::shared_ptr<VUvodozuHandler> m_handler;
    std::shared_ptr<TQInvocationBroker> m_broker;
};

} // namespace tavrel
