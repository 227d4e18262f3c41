#include "actions/gddmhStarredDocuments.h"

#include "actions/DocumentActionSupport.h"
#include "platform/gdata/GDataConstants.h"
#include "platform/gdata/GDataFeedBase.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhStarredDocuments)

void gddmhStarredDocuments::executeActionAndCall(const InvocationPtr& invocation,
                                                 const QVariantMap& parameters)
{
    const bool starred = parameters.value(QStringLiteral("isStarred")).toBool();
    const auto batch = GDataFeedBase::feed();
    for (const QVariant& item : parameters.value(QStringLiteral("documentEntities")).toList()) {
        const auto record = DocumentActionSupport::documentFrom(item);
        const GDataEntryDocPtr stored = record ? record->gdataEntry() : nullptr;
        if (!stored)
            continue;
        const GDataEntryDocPtr entry = GDataEntryDocBase::documentEntry();
        entry->setIdentifier(stored->identifier());
        entry->setBatchIDWithString(stored->identifier());
        entry->setBatchOperation(kGDataBatchOperationUpdate);
        entry->setETag(QStringLiteral("*"));
        entry->setIsStarred(starred);
        batch->addEntry(*entry);
    }
    const QUrl url = parameters.value(QStringLiteral("batchURL")).toUrl();
    GDataServiceTicketPtr ticket;
    if (service() && url.isValid())
        ticket = service()->fetchFeedWithBatchFeed(batch, url, this, kBatchFeedCallback);
    if (ticket) {
        ticket->setProperty(QStringLiteral("documentEntities"),
                            parameters.value(QStringLiteral("documentEntities")));
        parkInvocation(ticket, invocation);
    } else {
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
    }
}

QVariantMap gddmhStarredDocuments::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
