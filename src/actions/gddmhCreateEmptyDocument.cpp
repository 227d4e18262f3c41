#include "actions/gddmhCreateEmptyDocument.h"

#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "model/Category.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataEntryDrawingDoc.h"
#include "platform/gdata/GDataEntryFolderDoc.h"
#include "platform/gdata/GDataEntryPresentationDoc.h"
#include "platform/gdata/GDataEntrySpreadsheetDoc.h"
#include "platform/gdata/GDataEntryStandardDoc.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhCreateEmptyDocument)

GDataEntryDocPtr gddmhCreateEmptyDocument::entryForType(const QString& type)
{
    if (type == QLatin1String("document"))
        return GDataEntryStandardDoc::documentEntry();
    if (type == QLatin1String("spreadsheet"))
        return GDataEntrySpreadsheetDoc::documentEntry();
    if (type == QLatin1String("presentation"))
        return GDataEntryPresentationDoc::documentEntry();
    if (type == QLatin1String("drawing"))
        return GDataEntryDrawingDoc::documentEntry();
    if (type == QLatin1String("folder"))
        return GDataEntryFolderDoc::documentEntry();
    return nullptr;
}

void gddmhCreateEmptyDocument::executeActionAndCall(const InvocationPtr& invocation,
                                                    const QVariantMap& parameters)
{
    const GDataEntryDocPtr entry = entryForType(parameters.value(TransferKeys::kType).toString());
    GDataServiceTicketPtr ticket;
    if (entry && service()) {
        entry->setTitleWithString(parameters.value(TransferKeys::kNewName).toString());
        if (TransferKeys::isYes(parameters.value(TransferKeys::kIsTrashed)))
            entry->setIsDeleted(true);
        QUrl target = GDataEndpoints::docsExpandACLFeedURL();
        if (const auto collection =
                TransferSupport::recordOf<Category>(parameters.value(TransferKeys::kCollectionEntity))) {
            const GDataEntryDocPtr collectionEntry = collection->gdataEntry();
            target = collectionEntry ? collectionEntry->content().sourceURL() : QUrl();
            if (target.isEmpty() && collectionEntry)
                target = collectionEntry->resumableCreateLink().URL();
        }
        ticket = service()->fetchEntryByInsertingEntry(entry, target, this, kFeedCallback);
    }
    if (ticket)
        parkInvocation(ticket, invocation);
    else
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
}

QVariantMap gddmhCreateEmptyDocument::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
