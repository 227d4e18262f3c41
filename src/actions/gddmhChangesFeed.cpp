#include "actions/gddmhChangesFeed.h"

#include "actions/gddmhFileList.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataQueryDocs.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhChangesFeed)

void gddmhChangesFeed::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    GDataServiceTicketPtr ticket;
    if (GDataServiceGoogleDocs* docs = service()) {
        GDataQueryDocs query = GDataQueryDocs::documentQueryWithFeedURL(GDataEndpoints::docsChangesFeedURL());
        query.setStartIndex(parameters.value(QStringLiteral("largestChangestamp")).toLongLong() + 1);
        query.setMaxResults(gddmhFileList::kPageSize);
        query.addCustomParameterWithName(QStringLiteral("expand-acl"), QStringLiteral("true"));
        ticket = docs->fetchFeedWithQuery(query, this, kFeedCallback);
    }
    if (ticket)
        parkInvocation(ticket, invocation);
    else
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
}

QVariantMap gddmhChangesFeed::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
