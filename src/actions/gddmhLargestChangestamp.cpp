#include "actions/gddmhLargestChangestamp.h"

#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataQueryDocs.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhLargestChangestamp)

void gddmhLargestChangestamp::executeActionAndCall(const InvocationPtr& invocation,
                                                   const QVariantMap& parameters)
{
    GDataServiceTicketPtr ticket;
    if (GDataServiceGoogleDocs* docs = service()) {
        GDataQueryDocs query = GDataQueryDocs::documentQueryWithFeedURL(GDataEndpoints::docsChangesFeedURL());
        query.addCustomParameterWithName(QStringLiteral("expand-acl"), QStringLiteral("true"));
        query.setMaxResults(1);
        ticket = docs->fetchFeedWithQuery(query, this, kFeedCallback);
    }
    if (ticket) {
        parkInvocation(ticket, invocation);
        // One change is enough: the feed itself carries the stamp.
        ticket->setShouldFollowNextLinks(false);
    } else {
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
    }
}

QVariantMap gddmhLargestChangestamp::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
