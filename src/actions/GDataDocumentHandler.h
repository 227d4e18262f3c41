#pragma once

#include "actions/GDataDocumentManager.h"
#include "pipeline/GDManagerHandler.h"
#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/gdata/GDataFeedBase.h"

#include <functional>

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

    // Sends the document's stored entry, changed by `change`, as an update with the entity tag "*"
    // (whatever version the service holds is overwritten) to its access-list expanding edit address,
    // and parks the invocation; without an entry or a ticket the invocation gets the no-ticket error.
    void sendForcedUpdate(const InvocationPtr& invocation, const QVariantMap& parameters,
                          const std::function<void(GDataEntryDocBase&)>& change);

    // Posts the batch to `url` with the batch callback and parks the invocation; without a ticket the
    // invocation gets the no-ticket error. Answers the ticket (null when nothing started).
    GDataServiceTicketPtr sendBatch(const InvocationPtr& invocation, const QVariantMap& parameters,
                                    const GDataFeedPtr& batch, const QUrl& url);
    // A batch of bare entries, one per identifier, each carrying it as its identifier and batch
    // identifier, with the operation; `change` adds what else each entry says.
    static GDataFeedPtr batchOfIdentifiers(const QStringList& identifiers, const QString& operation,
                                           const std::function<void(GDataEntryDocBase&)>& change = {});
    // A batch of the records' stored entries, whole and with their own entity tags (a stale one is
    // refused, not overwritten), each with its identifier as batch identifier and the operation;
    // `change` adds what else each entry says. Items without a stored entry are skipped.
    static GDataFeedPtr batchOfStoredEntries(const QVariantList& records, const QString& operation,
                                             const std::function<void(GDataEntryDocBase&)>& change = {});
    // The service identifiers of the document records in the list, in order; other items are skipped.
    static QStringList identifiersOfRecords(const QVariantList& records);

    // Parks the invocation on a started call's ticket ("invocation"). A call can only answer on the
    // thread that started it: when that thread ends first (its operation gave up waiting), the call is
    // cancelled and the invocation let go.
    static void parkInvocation(const GDataServiceTicketPtr& ticket, const InvocationPtr& invocation);
};

} // namespace tavrel
