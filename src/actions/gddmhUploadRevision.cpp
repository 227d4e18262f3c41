#include "actions/gddmhUploadRevision.h"

#include "actions/ExpandACLURL.h"
#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "model/File.h"
#include "platform/gdata/GDataQueryDocs.h"
#include "platform/gdata/GDataUtilities.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/Exception.h"

#include <QFile>
#include <QFileInfo>

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhUploadRevision)

void gddmhUploadRevision::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    if (!parameters.contains(TransferKeys::kFilePath))
        throw Exception(kInvalidInputParameterException, QStringLiteral("Parameter must contain path key"));
    const auto record = TransferSupport::recordOf<File>(parameters.value(TransferKeys::kDocumentEntity));
    if (!record)
        throw Exception(kInvalidInputParameterException,
                        QStringLiteral("Parameter must compatible with a documentEntity"));
    const QString path = parameters.value(TransferKeys::kFilePath).toString();
    const GDataEntryDocPtr entry = record->gdataEntry();
    auto file = std::make_shared<QFile>(path);
    if (QFileInfo(path).isDir() || !file->open(QIODevice::ReadOnly))
        throw Exception(kFileNotFoundException,
                        QStringLiteral("Upload Revision: Impossible to open file at path: %1").arg(path));
    GDataServiceTicketPtr ticket;
    if (entry && service()) {
        entry->setUploadFileHandle(file);
        entry->setETag(QStringLiteral("*"));
        entry->setUploadMIMEType(GDataUtilities::MIMETypeForFileAtPath(path, QString()));
        entry->setUploadSlug(QFileInfo(path).fileName());
        GDataQueryDocs query = GDataQueryDocs::documentQueryWithFeedURL(
            ExpandACLURL::expandACLUploadEditURLForGDataDocument(*entry));
        query.setShouldCreateNewRevision(true);
        const QString resourceID = entry->resourceID();
        query.setShouldConvertUpload(resourceID.startsWith(QLatin1String("document")) ||
                                     resourceID.startsWith(QLatin1String("presentation")) ||
                                     resourceID.startsWith(QLatin1String("spreadsheet")));
        ticket = service()->fetchEntryByUpdatingEntry(entry, query.URL(), this, kFeedCallback);
    }
    // Nothing started is answered now, not after a wait.
    if (!ticket) {
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
        return;
    }
    ticket->setProperty(kParameterKey, parameters);
    parkInvocation(ticket, invocation);
}

QVariantMap gddmhUploadRevision::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
