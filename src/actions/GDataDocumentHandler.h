#pragma once

#include "actions/GDataDocumentManager.h"
#include "pipeline/GDManagerHandler.h"

namespace tavrel {

// Base of the service-side "gddmh" handlers: they call the documents service and give
// "_defaultCallbackForFeed" (single requests) or "_defaultCallbackForBatchFeed" (batches) as the
// finishing method, after parking the invocation on the ticket.
class GDataDocumentHandler : public GDManagerHandler
{
    Q_OBJECT
public:
    static constexpr const char* kFeedCallback = "_defaultCallbackForFeed";
    static constexpr const char* kBatchFeedCallback = "_defaultCallbackForBatchFeed";

    // The service manager's service; nullptr without a manager.
    GDataServiceGoogleDocs* service() const;

    using GDManagerHandler::_defaultCallbackForBatchFeed;
    using GDManagerHandler::_defaultCallbackForFeed;
    // The service's callbacks: the answer travels on as a GDataFeedPtr or GDataEntryPtr
    // (GDataResultValues); a batch leaves the list of its successful entries.
    Q_INVOKABLE void _defaultCallbackForFeed(tavrel::GDataServiceTicketPtr ticket,
                                             tavrel::GDataObjectPtr object, tavrel::Error error);
    Q_INVOKABLE void _defaultCallbackForBatchFeed(tavrel::GDataServiceTicketPtr ticket,
                                                  tavrel::GDataObjectPtr object, tavrel::Error error);

    QList<BatchEntry> batchEntriesOfFeed(const QVariant& feed) const override;

    // Parks the invocation on a started call's ticket ("invocation"). A call can only answer on the
    // thread that started it: when that thread ends first (its operation gave up waiting), the call is
    // cancelled and the invocation let go.
    static void parkInvocation(const GDataServiceTicketPtr& ticket, const InvocationPtr& invocation);
};

} // namespace tavrel
