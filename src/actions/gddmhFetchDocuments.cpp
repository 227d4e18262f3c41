#include "actions/gddmhFetchDocuments.h"

#include "platform/gdata/GDataConstants.h"
#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/gdata/GDataFeedBase.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhFetchDocuments)

void gddmhFetchDocuments::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const auto batch = GDataFeedBase::feed();
    for (const QString& identifier : parameters.value(QStringLiteral("documentIdentifiers")).toStringList()) {
        const GDataEntryDocPtr entry = GDataEntryDocBase::documentEntry();
        entry->setIdentifier(identifier);
        entry->setBatchIDWithString(identifier);
        entry->setBatchOperation(kGDataBatchOperationQuery);
        batch->addEntry(*entry);
    }
    const QUrl url = parameters.value(QStringLiteral("batchURL")).toUrl();
    GDataServiceTicketPtr ticket;
    if (service() && url.isValid())
        ticket = service()->fetchFeedWithBatchFeed(batch, url, this, kBatchFeedCallback);
    if (ticket)
        parkInvocation(ticket, invocation);
    else
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
}

QVariantMap gddmhFetchDocuments::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
