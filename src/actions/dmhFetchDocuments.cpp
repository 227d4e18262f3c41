#include "actions/dmhFetchDocuments.h"

#include "actions/DocumentActionSupport.h"
#include "actions/GDataResultValues.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdater.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhFetchDocuments)

void dmhFetchDocuments::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const QVariant items = parameters.value(QStringLiteral("documentEntities"));
    const QUrl batchURL = DocumentActionSupport::batchURL(session());
    if (items.metaType() != QMetaType::fromType<QVariantList>() || batchURL.isEmpty()) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    QStringList identifiers;
    for (const QVariant& item : items.toList()) {
        GDataEntryPtr entry;
        if (const auto record = DocumentActionSupport::documentFrom(item))
            entry = record->gdataEntry();
        else
            entry = GDataResultValues::objectFromValue<GDataEntryBase>(item);
        if (entry && !entry->identifier().isEmpty())
            identifiers.append(DocumentActionSupport::batchQueryAddress(*entry, batchURL));
    }
    QVariantMap forwarded = parameters;
    forwarded.insert(QStringLiteral("batchURL"), batchURL);
    forwarded.insert(QStringLiteral("documentIdentifiers"), identifiers);
    forwardAction(QStringLiteral("FetchDocuments"), invocation, forwarded);
}

QVariantMap dmhFetchDocuments::defaultCallbackForParams(const QVariantMap& result)
{
    const QVariant feed = result.value(kFeedKey);
    if (feed.metaType() != QMetaType::fromType<QVariantList>())
        return result;
    const QVariantList entries = feed.toList();
    if (TQMOCMasterUpdater* updater = masterMOCUpdater())
        updater->documentsUpdated(entries);
    QVariantList records;
    for (const QVariant& value : entries)
        if (const ManagedObjectPtr record = DocumentActionSupport::masterRecordForEntry(
                masterMOC(), DocumentActionSupport::documentEntryFrom(value)))
            records.append(QVariant::fromValue(record));
    return DocumentActionSupport::answer(records, result.value(kErrorKey));
}

} // namespace tavrel
