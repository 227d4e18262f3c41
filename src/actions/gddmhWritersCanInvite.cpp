#include "actions/gddmhWritersCanInvite.h"

#include "actions/DocumentActionSupport.h"
#include "actions/ExpandACLURL.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhWritersCanInvite)

void gddmhWritersCanInvite::executeActionAndCall(const InvocationPtr& invocation,
                                                 const QVariantMap& parameters)
{
    const auto record =
        DocumentActionSupport::documentFrom(parameters.value(QStringLiteral("documentEntity")));
    const GDataEntryDocPtr entry = record ? record->gdataEntry() : nullptr;
    GDataServiceTicketPtr ticket;
    if (entry && service()) {
        entry->setWritersCanInvite(parameters.value(QStringLiteral("writersCanInvite")).toBool());
        entry->setETag(QStringLiteral("*"));
        ticket = service()->fetchEntryByUpdatingEntry(
            entry, ExpandACLURL::expandACLEditURLForGDataDocument(*entry), this, kFeedCallback);
    }
    if (ticket)
        parkInvocation(ticket, invocation);
    else
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
}

QVariantMap gddmhWritersCanInvite::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
