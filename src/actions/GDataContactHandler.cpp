#include "actions/GDataContactHandler.h"

#include "actions/GDataResultValues.h"
#include "actions/GDataServiceTicketAdapter.h"
#include "actions/GDataTicketParking.h"

namespace tavrel {

GDataServiceGoogleContact* GDataContactHandler::service() const
{
    auto* manager = qobject_cast<GDataContactManager*>(gdataManager());
    return manager ? manager->service() : nullptr;
}

void GDataContactHandler::_defaultCallbackForFeed(GDataServiceTicketPtr ticket, GDataObjectPtr object,
                                                  Error error)
{
    GDataServiceTicketAdapter adapter(std::move(ticket));
    GDManagerHandler::_defaultCallbackForFeed(adapter, GDataResultValues::valueForObject(object), error);
}

void GDataContactHandler::_defaultCallbackForBatchFeed(GDataServiceTicketPtr ticket, GDataObjectPtr object,
                                                       Error error)
{
    GDataServiceTicketAdapter adapter(std::move(ticket));
    GDManagerHandler::_defaultCallbackForBatchFeed(adapter, GDataResultValues::valueForObject(object), error);
}

void GDataContactHandler::parkInvocation(const GDataServiceTicketPtr& ticket, const InvocationPtr& invocation)
{
    GDataTicketParking::parkInvocation(ticket, invocation);
}

QList<GDManagerHandler::BatchEntry> GDataContactHandler::batchEntriesOfFeed(const QVariant& feed) const
{
    return GDataResultValues::batchEntriesOfFeed(feed);
}

} // namespace tavrel
