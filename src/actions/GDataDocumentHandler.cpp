#include "actions/GDataDocumentHandler.h"

#include "actions/GDataResultValues.h"
#include "actions/GDataServiceTicketAdapter.h"
#include "actions/GDataTicketParking.h"

namespace tavrel {

GDataServiceGoogleDocs* GDataDocumentHandler::service() const
{
    auto* manager = qobject_cast<GDataDocumentManager*>(gdataManager());
    return manager ? manager->service() : nullptr;
}

void GDataDocumentHandler::_defaultCallbackForFeed(GDataServiceTicketPtr ticket, GDataObjectPtr object,
                                                   Error error)
{
    GDataServiceTicketAdapter adapter(std::move(ticket));
    GDManagerHandler::_defaultCallbackForFeed(adapter, GDataResultValues::valueForObject(object), error);
}

void GDataDocumentHandler::_defaultCallbackForBatchFeed(GDataServiceTicketPtr ticket, GDataObjectPtr object,
                                                        Error error)
{
    GDataServiceTicketAdapter adapter(std::move(ticket));
    GDManagerHandler::_defaultCallbackForBatchFeed(adapter, GDataResultValues::valueForObject(object), error);
}

void GDataDocumentHandler::parkInvocation(const GDataServiceTicketPtr& ticket,
                                          const InvocationPtr& invocation)
{
    GDataTicketParking::parkInvocation(ticket, invocation);
}

QList<GDManagerHandler::BatchEntry> GDataDocumentHandler::batchEntriesOfFeed(const QVariant& feed) const
{
    return GDataResultValues::batchEntriesOfFeed(feed);
}

} // namespace tavrel
