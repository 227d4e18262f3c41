#include "actions/gdcmhListContacts.h"

#include "actions/GDataTicketParking.h"
#include "actions/gddmhFileList.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataQueryContact.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gdcmhListContacts)

void gdcmhListContacts::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    GDataServiceTicketPtr ticket;
    if (GDataServiceGoogleContact* contacts = service()) {
        GDataQueryContact query =
            GDataQueryContact::contactQueryWithFeedURL(GDataEndpoints::contactFeedURL());
        query.setMaxResults(gddmhFileList::kPageSize);
        const QVariant getDeleted = parameters.value(QStringLiteral("getDeleted"));
        if (getDeleted.isValid() && getDeleted.toInt() == 1)
            query.setShouldShowDeleted(true);
        ticket = contacts->fetchFeedWithQuery(query, this, kFeedCallback);
        GDataTicketParking::handPagesTo(
            ticket, parameters.value(gddmhFileList::kFeedPageHandlerKey).value<InvocationPtr>());
    }
    if (ticket)
        parkInvocation(ticket, invocation);
    else
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
}

QVariantMap gdcmhListContacts::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
