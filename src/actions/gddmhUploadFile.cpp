#include "actions/gddmhUploadFile.h"

#include "actions/ExpandACLURL.h"
#include "actions/TransferKeys.h"
#include "model/Category.h"
#include "platform/gdata/GDataEntryFileDoc.h"
#include "platform/gdata/GDataEntryPDFDoc.h"
#include "platform/gdata/GDataEntryPresentationDoc.h"
#include "platform/gdata/GDataEntrySpreadsheetDoc.h"
#include "platform/gdata/GDataEntryStandardDoc.h"
#include "platform/gdata/GDataQueryDocs.h"
#include "platform/gdata/GDataUtilities.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/Exception.h"

#include <QFile>
#include <QFileInfo>

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhUploadFile)

namespace {

struct ExtensionRow
{
    const char* extension;
    const char* MIMEType;
    const char* entryClass;
};

// Searched in this order; "csv", "tsv" and "tab" are text documents, not spreadsheets.
constexpr ExtensionRow kExtensions[] = {
    {"csv", "text/csv", "GDataEntryStandardDoc"},
    {"doc", "application/msword", "GDataEntryStandardDoc"},
    {"docx", "application/vnd.openxmlformats-officedocument.wordprocessingml.document",
     "GDataEntryStandardDoc"},
    {"ods", "application/vnd.oasis.opendocument.spreadsheet", "GDataEntrySpreadsheetDoc"},
    {"odt", "application/vnd.oasis.opendocument.text", "GDataEntryStandardDoc"},
    {"pps", "application/vnd.ms-powerpoint", "GDataEntryPresentationDoc"},
    {"ppt", "application/vnd.ms-powerpoint", "GDataEntryPresentationDoc"},
    {"rtf", "application/rtf", "GDataEntryStandardDoc"},
    {"sxw", "application/vnd.sun.xml.writer", "GDataEntryStandardDoc"},
    {"txt", "text/plain", "GDataEntryStandardDoc"},
    {"xls", "application/vnd.ms-excel", "GDataEntrySpreadsheetDoc"},
    {"xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet", "GDataEntrySpreadsheetDoc"},
    {"jpg", "image/jpeg", "GDataEntryStandardDoc"},
    {"jpeg", "image/jpeg", "GDataEntryStandardDoc"},
    {"png", "image/png", "GDataEntryStandardDoc"},
    {"bmp", "image/bmp", "GDataEntryStandardDoc"},
    {"gif", "image/gif", "GDataEntryStandardDoc"},
    {"html", "text/html", "GDataEntryStandardDoc"},
    {"htm", "text/html", "GDataEntryStandardDoc"},
    {"tsv", "text/tab-separated-values", "GDataEntryStandardDoc"},
    {"tab", "text/tab-separated-values", "GDataEntryStandardDoc"},
    {"pdf", "application/pdf", "GDataEntryPDFDoc"},
};

GDataEntryDocPtr entryOfClass(const QString& entryClass)
{
    if (entryClass == QLatin1String("GDataEntryStandardDoc"))
        return GDataEntryStandardDoc::documentEntry();
    if (entryClass == QLatin1String("GDataEntrySpreadsheetDoc"))
        return GDataEntrySpreadsheetDoc::documentEntry();
    if (entryClass == QLatin1String("GDataEntryPresentationDoc"))
        return GDataEntryPresentationDoc::documentEntry();
    if (entryClass == QLatin1String("GDataEntryPDFDoc"))
        return GDataEntryPDFDoc::documentEntry();
    return GDataEntryFileDoc::documentEntry();
}

} // namespace

void gddmhUploadFile::getMIMETypeAndEntryClassForExtension(const QString& extension, QString* MIMEType,
                                                           QString* entryClass)
{
    const QString lower = extension.toLower();
    for (const ExtensionRow& row : kExtensions) {
        if (lower == QLatin1String(row.extension)) {
            *MIMEType = QString::fromLatin1(row.MIMEType);
            *entryClass = QString::fromLatin1(row.entryClass);
            return;
        }
    }
    *MIMEType = QString();
    *entryClass = QString();
}

GDataEntryDocPtr gddmhUploadFile::newEntryForFileAtPath(const QString& path, QString* MIMEType)
{
    QString entryClass;
    getMIMETypeAndEntryClassForExtension(QFileInfo(path).suffix(), MIMEType, &entryClass);
    if (MIMEType->isNull()) {
        *MIMEType = GDataUtilities::MIMETypeForFileAtPath(path, QString());
        if (MIMEType->isEmpty())
            *MIMEType = QStringLiteral("application/octet-stream");
        entryClass = QStringLiteral("GDataEntryFileDoc");
    }
    return entryOfClass(entryClass);
}

void gddmhUploadFile::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const auto collection = std::dynamic_pointer_cast<Category>(
        parameters.value(TransferKeys::kCollectionEntity).value<ManagedObjectPtr>());
    const QString path = parameters.value(TransferKeys::kFileURL).toUrl().toLocalFile();
    const bool shouldConvert =
        parameters.value(TransferKeys::kShouldConvert).metaType().id() == QMetaType::Bool &&
        parameters.value(TransferKeys::kShouldConvert).toBool();
    const bool isStarred = parameters.value(TransferKeys::kIsStarred).metaType().id() == QMetaType::Bool &&
                           parameters.value(TransferKeys::kIsStarred).toBool();
    const bool isTrashed = TransferKeys::isYes(parameters.value(TransferKeys::kIsTrashed));

    QString MIMEType;
    const GDataEntryDocPtr entry = newEntryForFileAtPath(path, &MIMEType);
    const QString name = QFileInfo(path).fileName();
    entry->setTitleWithString(name);

    // Read in chunks as the upload goes: the file is never held whole.
    auto file = std::make_shared<QFile>(path);
    if (path.isEmpty() || QFileInfo(path).isDir() || !file->open(QIODevice::ReadOnly))
        throw Exception(kFileNotFoundException, QStringLiteral("Unable to read file contents"));
    entry->setUploadFileHandle(file);
    entry->setUploadMIMEType(MIMEType);
    entry->setUploadSlug(name);
    if (isStarred)
        entry->setIsStarred(true);
    if (isTrashed)
        entry->setIsDeleted(true);

    QUrl target;
    if (collection) {
        const GDataEntryDocPtr collectionEntry = collection->gdataEntry();
        target = collectionEntry ? collectionEntry->resumableCreateLink().URL() : QUrl();
        if (target.isEmpty()) {
            callHighLevelInvocation(invocation, parameters, QVariant(),
                                    Error(kUploadFileErrorDomain, 1,
                                          {{Error::kLocalizedDescriptionKey,
                                            QStringLiteral("The collection cannot take uploads.")}}));
            return;
        }
    } else {
        target = ExpandACLURL::uploadURLExpandingAcls();
    }
    GDataQueryDocs query = GDataQueryDocs::documentQueryWithFeedURL(target);
    query.setShouldConvertUpload(shouldConvert);

    GDataServiceTicketPtr ticket;
    if (service())
        ticket = service()->fetchEntryByInsertingEntry(entry, query.URL(), this, kFeedCallback);
    if (!ticket) {
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
        return;
    }
    ticket->setProperty(kParameterKey, parameters);
    ticket->setProperty(TransferKeys::kProgressID, parameters.value(TransferKeys::kProgressID));
    parkInvocation(ticket, invocation);
}

QVariantMap gddmhUploadFile::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
