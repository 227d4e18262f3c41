#include "actions/dmhChangesFeed.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhChangesFeed)

void dmhChangesFeed::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const QVariant stamp = parameters.value(QStringLiteral("largestChangestamp"));
    bool isNumber = false;
    if (stamp.isValid() && stamp.metaType() != QMetaType::fromType<QString>())
        stamp.toLongLong(&isNumber);
    if (!isNumber) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    forwardAction(QStringLiteral("ChangesFeed"), invocation, parameters);
}

QVariantMap dmhChangesFeed::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
