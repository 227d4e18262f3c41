#include "actions/gddmhFileList.h"

#include "actions/GDataTicketParking.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataQueryDocs.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhFileList)

namespace {

bool isYes(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<bool>() ? value.toBool()
           : value.canConvert<int>()                       ? value.toInt() == 1
                                                           : false;
}

} // namespace

void gddmhFileList::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    GDataServiceTicketPtr ticket;
    if (GDataServiceGoogleDocs* docs = service()) {
        GDataQueryDocs query =
            GDataQueryDocs::documentQueryWithFeedURL(GDataEndpoints::docsExpandACLFeedURL());
        if (isYes(parameters.value(QStringLiteral("showFolders"))))
            query.setShouldShowFolders(true);
        if (isYes(parameters.value(QStringLiteral("showTrashed"))))
            query.setShouldShowDeleted(true);
        // Pages of a bounded size; the service follows the next links into one feed, or hands them
        // one by one to the requester's page handler.
        query.setMaxResults(kPageSize);
        ticket = docs->fetchFeedWithQuery(query, this, kFeedCallback);
        GDataTicketParking::handPagesTo(ticket, parameters.value(kFeedPageHandlerKey).value<InvocationPtr>());
    }
    if (ticket)
        parkInvocation(ticket, invocation);
    else
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
}

QVariantMap gddmhFileList::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
