#include "actions/dmhFetchFeed.h"

#include "platform/runtime/ClassRegistry.h"

#include <QUrl>

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhFetchFeed)

void dmhFetchFeed::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    if (parameters.value(QStringLiteral("feedURL")).metaType() != QMetaType::fromType<QUrl>()) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    forwardAction(QStringLiteral("FetchFeed"), invocation, parameters);
}

QVariantMap dmhFetchFeed::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
