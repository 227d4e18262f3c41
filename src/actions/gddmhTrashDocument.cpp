#include "actions/gddmhTrashDocument.h"

#include "actions/DocumentActionSupport.h"
#include "actions/ExpandACLURL.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhTrashDocument)

void gddmhTrashDocument::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const auto record =
        DocumentActionSupport::documentFrom(parameters.value(QStringLiteral("documentEntity")));
    const GDataEntryDocPtr entry = record ? record->gdataEntry() : nullptr;
    GDataServiceTicketPtr ticket;
    if (entry && service()) {
        entry->setETag(QStringLiteral("*"));
        entry->setIsDeleted(trashes());
        ticket = service()->fetchEntryByUpdatingEntry(
            entry, ExpandACLURL::expandACLEditURLForGDataDocument(*entry), this, kFeedCallback);
    }
    if (ticket)
        parkInvocation(ticket, invocation);
    else
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
}

QVariantMap gddmhTrashDocument::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
