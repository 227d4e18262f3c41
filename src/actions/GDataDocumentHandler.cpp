#include "actions/GDataDocumentHandler.h"

#include "actions/DocumentActionSupport.h"
#include "actions/ExpandACLURL.h"
#include "actions/GDataResultValues.h"
#include "actions/GDataServiceTicketAdapter.h"
#include "actions/GDataTicketParking.h"

namespace tavrel {

GDataServiceGoogleDocs* GDataDocumentHandler::service() const
{
    auto* manager = qobject_cast<GDataDocumentManager*>(gdataManager());
    return manager ? manager->service() : nullptr;
}

void GDataDocumentHandler::_defaultCallbackForFeed(GDataServiceTicketPtr ticket, GDataObjectPtr object,
                                                   Error error)
{
    GDataServiceTicketAdapter adapter(std::move(ticket));
    GDManagerHandler::_defaultCallbackForFeed(adapter, GDataResultValues::valueForObject(object), error);
}

void GDataDocumentHandler::_defaultCallbackForBatchFeed(GDataServiceTicketPtr ticket, GDataObjectPtr object,
                                                        Error error)
{
    GDataServiceTicketAdapter adapter(std::move(ticket));
    GDManagerHandler::_defaultCallbackForBatchFeed(adapter, GDataResultValues::valueForObject(object), error);
}

void GDataDocumentHandler::sendForcedUpdate(const InvocationPtr& invocation, const QVariantMap& parameters,
                                            const std::function<void(GDataEntryDocBase&)>& change)
{
    const auto record =
        DocumentActionSupport::documentFrom(parameters.value(QStringLiteral("documentEntity")));
    const GDataEntryDocPtr entry = record ? record->gdataEntry() : nullptr;
    GDataServiceTicketPtr ticket;
    if (entry && service()) {
        change(*entry);
        entry->setETag(QStringLiteral("*"));
        ticket = service()->fetchEntryByUpdatingEntry(
            entry, ExpandACLURL::expandACLEditURLForGDataDocument(*entry), this, kFeedCallback);
    }
    if (ticket)
        parkInvocation(ticket, invocation);
    else
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
}

GDataServiceTicketPtr GDataDocumentHandler::sendBatch(const InvocationPtr& invocation,
                                                      const QVariantMap& parameters,
                                                      const GDataFeedPtr& batch, const QUrl& url)
{
    GDataServiceTicketPtr ticket;
    if (batch && service() && url.isValid() && !url.isEmpty())
        ticket = service()->fetchFeedWithBatchFeed(batch, url, this, kBatchFeedCallback);
    if (ticket)
        parkInvocation(ticket, invocation);
    else
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
    return ticket;
}

GDataFeedPtr GDataDocumentHandler::batchOfIdentifiers(const QStringList& identifiers,
                                                      const QString& operation,
                                                      const std::function<void(GDataEntryDocBase&)>& change)
{
    const auto batch = GDataFeedBase::feed();
    for (const QString& identifier : identifiers) {
        const GDataEntryDocPtr entry = GDataEntryDocBase::documentEntry();
        entry->setIdentifier(identifier);
        entry->setBatchIDWithString(identifier);
        entry->setBatchOperation(operation);
        if (change)
            change(*entry);
        batch->addEntry(*entry);
    }
    return batch;
}

namespace {

// An entry sent back names its related feeds (the access list, the revisions); it does not send again the
// ones the service expanded inline.
void removeInlineFeeds(GDataEntryDocBase& entry)
{
    for (pugi::xml_node link = entry.XMLElement().first_child(); link; link = link.next_sibling()) {
        const QByteArray name(link.name());
        if (name == "feedLink" || name.endsWith(":feedLink"))
            while (pugi::xml_node inner = link.first_child())
                link.remove_child(inner);
    }
}

} // namespace

GDataFeedPtr GDataDocumentHandler::batchOfStoredEntries(const QVariantList& records, const QString& operation,
                                                        const std::function<void(GDataEntryDocBase&)>& change)
{
    const auto batch = GDataFeedBase::feed();
    for (const QVariant& item : records) {
        const auto record = DocumentActionSupport::documentFrom(item);
        const GDataEntryDocPtr entry = record ? record->gdataEntry() : nullptr;
        if (!entry)
            continue;
        removeInlineFeeds(*entry);
        entry->setBatchIDWithString(entry->identifier());
        entry->setBatchOperation(operation);
        entry->setNamespaces(entry->completeNamespaces());
        if (change)
            change(*entry);
        batch->addEntry(*entry);
    }
    return batch;
}

QStringList GDataDocumentHandler::identifiersOfRecords(const QVariantList& records)
{
    QStringList identifiers;
    for (const QVariant& item : records) {
        const auto record = DocumentActionSupport::documentFrom(item);
        if (const GDataEntryDocPtr entry = record ? record->gdataEntry() : nullptr)
            identifiers.append(entry->identifier());
    }
    return identifiers;
}

void GDataDocumentHandler::parkInvocation(const GDataServiceTicketPtr& ticket,
                                          const InvocationPtr& invocation)
{
    GDataTicketParking::parkInvocation(ticket, invocation);
}

QList<GDManagerHandler::BatchEntry> GDataDocumentHandler::batchEntriesOfFeed(const QVariant& feed) const
{
    return GDataResultValues::batchEntriesOfFeed(feed);
}

} // namespace tavrel
