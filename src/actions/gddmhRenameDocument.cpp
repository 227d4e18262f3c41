#include "actions/gddmhRenameDocument.h"

#include "actions/ExpandACLURL.h"
#include "actions/dmhRenameDocument.h"
#include "model/FileEntryAbstract.h"
#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhRenameDocument)

void gddmhRenameDocument::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const auto record = std::dynamic_pointer_cast<FileEntryAbstract>(
        parameters.value(dmhRenameDocument::kDocumentEntityKey).value<ManagedObjectPtr>());
    const GDataEntryDocPtr entry = record ? record->gdataEntry() : nullptr;
    GDataServiceTicketPtr ticket;
    if (entry && service()) {
        entry->setTitleWithString(parameters.value(dmhRenameDocument::kNewNameKey).toString());
        entry->setETag(QStringLiteral("*"));
        ticket = service()->fetchEntryByUpdatingEntry(
            entry, ExpandACLURL::expandACLEditURLForGDataDocument(*entry), this, kFeedCallback);
    }
    if (ticket)
        parkInvocation(ticket, invocation);
    else
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
}

QVariantMap gddmhRenameDocument::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
