#include "actions/gddmhFetchFeed.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhFetchFeed)

void gddmhFetchFeed::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const QUrl url = parameters.value(QStringLiteral("feedURL")).toUrl();
    GDataServiceTicketPtr ticket;
    if (service() && url.isValid())
        ticket = service()->fetchFeedWithURL(url, this, kFeedCallback);
    if (ticket)
        parkInvocation(ticket, invocation);
    else
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
}

QVariantMap gddmhFetchFeed::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
