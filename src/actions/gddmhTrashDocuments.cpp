#include "actions/gddmhTrashDocuments.h"

#include "actions/DocumentActionSupport.h"
#include "platform/gdata/GDataConstants.h"
#include "platform/gdata/GDataFeedBase.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/UrlQuery.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhTrashDocuments)

void gddmhTrashDocuments::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const auto batch = GDataFeedBase::feed();
    for (const QVariant& item : parameters.value(QStringLiteral("documentEntities")).toList()) {
        const auto record = DocumentActionSupport::documentFrom(item);
        const GDataEntryDocPtr stored = record ? record->gdataEntry() : nullptr;
        if (!stored)
            continue;
        const GDataEntryDocPtr entry = GDataEntryDocBase::documentEntry();
        entry->setIdentifier(stored->identifier());
        entry->setBatchIDWithString(stored->identifier());
        entry->setBatchOperation(kGDataBatchOperationDelete);
        entry->setETag(QStringLiteral("*"));
        batch->addEntry(*entry);
    }
    QUrl url = parameters.value(QStringLiteral("batchURL")).toUrl();
    if (deletesForGood())
        url = UrlQuery::URLByAppendingQueryString(url, QStringLiteral("delete=true"));
    GDataServiceTicketPtr ticket;
    if (service() && url.isValid() && !url.isEmpty())
        ticket = service()->fetchFeedWithBatchFeed(batch, url, this, kBatchFeedCallback);
    if (ticket) {
        ticket->setProperty(QStringLiteral("documentEntities"),
                            parameters.value(QStringLiteral("documentEntities")));
        parkInvocation(ticket, invocation);
    } else {
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
    }
}

QVariantMap gddmhTrashDocuments::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
