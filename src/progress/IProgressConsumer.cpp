#include "progress/IProgressConsumer.h"

#include "platform/runtime/Invocation.h"

namespace tavrel {

namespace {

bool send(QObject* consumer, const QString& selector, const QVariantList& arguments)
{
    if (!consumer || !Invocation::respondsToSelector(consumer, selector))
        return false;
    const InvocationPtr invocation = Invocation::invocationForSelector(selector, consumer);
    int index = Invocation::kFirstArgument;
    for (const QVariant& argument : arguments)
        invocation->setArgument(index++, argument);
    return invocation->invoke();
}

} // namespace

bool IProgressConsumer::sendActionWillStart(QObject* consumer, const QString& action,
                                            const QVariantMap& arguments)
{
    return send(consumer, kActionWillStartSelector, {action, arguments});
}

bool IProgressConsumer::sendActionDidProgress(QObject* consumer, const QString& progressID,
                                              const QVariantMap& arguments, quint64 part, quint64 total)
{
    return send(consumer, kActionDidProgressSelector, {progressID, arguments, part, total});
}

bool IProgressConsumer::sendActionDidFinish(QObject* consumer, const QString& action,
                                            const QVariantMap& arguments)
{
    return send(consumer, kActionDidFinishSelector, {action, arguments});
}

} // namespace tavrel
