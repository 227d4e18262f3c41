#include "actions/gddmhDeleteFile.h"

#include "actions/DocumentActionSupport.h"
#include "platform/gdata/GDataQueryDocs.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhDeleteFile)

void gddmhDeleteFile::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const auto record =
        DocumentActionSupport::documentFrom(parameters.value(QStringLiteral("documentEntity")));
    const GDataEntryDocPtr entry = record ? record->gdataEntry() : nullptr;
    GDataServiceTicketPtr ticket;
    if (entry && !entry->editLink().href().isEmpty() && service()) {
        GDataQueryDocs query = GDataQueryDocs::documentQueryWithFeedURL(QUrl(entry->editLink().href()));
        query.setShouldActuallyDelete(true);
        ticket = service()->deleteResourceURL(query.URL(), QStringLiteral("*"), this, kFeedCallback);
    }
    if (ticket) {
        ticket->setProperty(QStringLiteral("documentEntity"),
                            parameters.value(QStringLiteral("documentEntity")));
        parkInvocation(ticket, invocation);
    } else {
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
    }
}

QVariantMap gddmhDeleteFile::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
