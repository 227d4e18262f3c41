#pragma once

#include <QObject>
#include <QVariant>
#include <memory>
#include <mutex>

namespace tavrel {

class TQHandlerOperation;

// The relay between a handler's answer and its handler operation. The operation cuts it (clears the
// target) when it is cancelled or replaced, so a late answer reaches nobody; it relays at most once.
class TQInvocationBroker : public QObject
{
    Q_OBJECT
public:
    static inline const QString kHandlerDidFinishSelector =
        QStringLiteral("handlerDidFinishWithResult:error:");

    TQInvocationBroker() = default;
    ~TQInvocationBroker() override;

    std::shared_ptr<TQHandlerOperation> target() const;
    void setTarget(const std::shared_ptr<TQHandlerOperation>& target);

    Q_INVOKABLE void handlerDidFinishWithResult(const QVariant& result, const QVariant& error);

private:
    mutable std::mutex m_mutex;
    std::weak_ptr<TQHandlerOperation> m_target;
};

} // namespace tavrel
