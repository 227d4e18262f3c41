#include "actions/gddmhCreateEmptyDocument.h"

#include "actions/DocumentActionSupport.h"
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

namespace {

GDataEntryDocPtr entryOfType(const QString& type)
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

} // namespace

void gddmhCreateEmptyDocument::executeActionAndCall(const InvocationPtr& invocation,
                                                    const QVariantMap& parameters)
{
    const GDataEntryDocPtr entry = entryOfType(parameters.value(QStringLiteral("type")).toString());
    QUrl feedURL = GDataEndpoints::docsExpandACLFeedURL();
    bool targetFound = true;
    if (const auto collection =
            DocumentActionSupport::documentFrom(parameters.value(QStringLiteral("collectionEntity")))) {
        const GDataEntryDocPtr folder = collection->gdataEntry();
        feedURL = folder ? folder->content().sourceURL() : QUrl();
        if (feedURL.isEmpty() && folder)
            feedURL = QUrl(folder->resumableCreateLink().href());
        targetFound = !feedURL.isEmpty();
    }
    GDataServiceTicketPtr ticket;
    if (entry && targetFound && service()) {
        entry->setTitleWithString(parameters.value(QStringLiteral("newName")).toString());
        const QVariant trashed = parameters.value(QStringLiteral("isTrashed"));
        if (DocumentActionSupport::isNumber(trashed) && trashed.toBool())
            entry->addCategory(GDataCategory::categoryWithLabelTerm(kGDataCategoryLabelTrashed));
        ticket = service()->fetchEntryByInsertingEntry(entry, feedURL, this, kFeedCallback);
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
