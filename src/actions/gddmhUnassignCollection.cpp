#include "actions/gddmhUnassignCollection.h"

#include "actions/DocumentActionSupport.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhUnassignCollection)

void gddmhUnassignCollection::executeActionAndCall(const InvocationPtr& invocation,
                                                   const QVariantMap& parameters)
{
    const auto document =
        DocumentActionSupport::documentFrom(parameters.value(QStringLiteral("documentEntity")));
    const auto collection =
        DocumentActionSupport::documentFrom(parameters.value(QStringLiteral("collectionEntity")));
    const GDataEntryDocPtr entry = document ? document->gdataEntry() : nullptr;
    const GDataEntryDocPtr folder = collection ? collection->gdataEntry() : nullptr;
    GDataServiceTicketPtr ticket;
    if (entry && folder && !entry->resourceID().isEmpty() && service()) {
        QString contents = folder->content().sourceURI();
        if (!contents.isEmpty()) {
            if (!contents.endsWith(QLatin1Char('/')))
                contents += QLatin1Char('/');
            // The resource identifier is one path segment: its ':' travels encoded, as the service names it.
            const QUrl url(contents + QString::fromLatin1(QUrl::toPercentEncoding(entry->resourceID())));
            ticket = service()->deleteResourceURL(url, QStringLiteral("*"), this, kFeedCallback);
        }
    }
    if (ticket)
        parkInvocation(ticket, invocation);
    else
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
}

QVariantMap gddmhUnassignCollection::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
