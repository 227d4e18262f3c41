#include "actions/dmhFetchDocument.h"

#include "actions/DocumentActionSupport.h"
#include "actions/GDataResultValues.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdater.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhFetchDocument)

void dmhFetchDocument::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const auto record =
        DocumentActionSupport::documentFrom(parameters.value(QStringLiteral("documentEntity")));
    const GDataEntryDocPtr entry = record ? record->gdataEntry() : nullptr;
    const QUrl batchURL = DocumentActionSupport::batchURL(session());
    if (!entry || entry->identifier().isEmpty() || batchURL.isEmpty()) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    forwardAction(QStringLiteral("FetchDocuments"), invocation,
                  {{QStringLiteral("documentIdentifiers"),
                    QStringList{DocumentActionSupport::batchQueryAddress(*entry, batchURL)}},
                   {QStringLiteral("batchURL"), batchURL}});
}

QVariantMap dmhFetchDocument::defaultCallbackForParams(const QVariantMap& result)
{
    if (DocumentActionSupport::isError(result.value(kErrorKey)))
        return result;
    const QVariantList entries = result.value(kFeedKey).toList();
    QVariantMap last = result;
    last.insert(kFeedKey, entries.isEmpty() ? QVariant() : entries.last());
    return DocumentActionSupport::answerWithStoredEntry(*this, last);
}

} // namespace tavrel
