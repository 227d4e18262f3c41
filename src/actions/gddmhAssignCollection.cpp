#include "actions/gddmhAssignCollection.h"

#include "actions/DocumentActionSupport.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhAssignCollection)

void gddmhAssignCollection::executeActionAndCall(const InvocationPtr& invocation,
                                                 const QVariantMap& parameters)
{
    const auto record =
        DocumentActionSupport::documentFrom(parameters.value(QStringLiteral("documentEntity")));
    const GDataEntryDocPtr stored = record ? record->gdataEntry() : nullptr;
    const QUrl feedURL = parameters.value(QStringLiteral("feedURL")).toUrl();
    GDataServiceTicketPtr ticket;
    if (stored && feedURL.isValid() && service()) {
        const GDataEntryDocPtr entry = GDataEntryDocBase::documentEntry();
        entry->setIdentifier(stored->identifier());
        entry->setETag(QStringLiteral("*"));
        ticket = service()->fetchEntryByInsertingEntry(entry, feedURL, this, kFeedCallback);
    }
    if (ticket)
        parkInvocation(ticket, invocation);
    else
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
}

QVariantMap gddmhAssignCollection::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
