#include "actions/gddmhGetFile.h"

#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "model/FileEntryAbstract.h"
#include "pipeline/TQOperation.h"
#include "platform/gdata/GDataQueryDocs.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/Invocation.h"
#include "platform/runtime/ThreadDispatch.h"
#include "platform/system/TQLog.h"
#include "platform/system/TemporaryFiles.h"
#include "progress/IProgressConsumer.h"

#include <QDir>
#include <QFileInfo>

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhGetFile)

QString gddmhGetFile::exportFormatForResourceID(const QString& resourceID)
{
    static const QList<QPair<QString, QString>> kinds = {
        {QStringLiteral("document"), QStringLiteral("doc")},
        {QStringLiteral("presentation"), QStringLiteral("ppt")},
        {QStringLiteral("spreadsheet"), QStringLiteral("xls")},
        {QStringLiteral("drawing"), QStringLiteral("pdf")},
    };
    for (const auto& [prefix, format] : kinds)
        if (resourceID.startsWith(prefix))
            return format;
    return QString();
}

void gddmhGetFile::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const auto record =
        TransferSupport::recordOf<FileEntryAbstract>(parameters.value(TransferKeys::kDocumentEntity));
    if (!record)
        throw Exception(kInvalidParametersException, QStringLiteral("documentEntity key MUST be set"));
    const GDataEntryDocPtr entry = record->gdataEntry();
    const QUrl source = entry ? entry->content().sourceURL() : QUrl();
    if (source.isEmpty())
        throw Exception(kInvalidDocumentException,
                        QStringLiteral("gdata related document does not have a sourceURL"));

    GDataQueryDocs query = GDataQueryDocs::documentQueryWithFeedURL(source);
    const QString format = parameters.value(TransferKeys::kExportFormat).toString();
    if (!format.isEmpty())
        query.setExportFormat(format);

    // The extension follows the kind, whatever format was asked for.
    const QUrl folder = TemporaryFiles::URLTempUniqueDirectory();
    if (folder.isEmpty() || !service()) {
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
        return;
    }
    const QString name =
        TransferSupport::safeFileName(entry->title(), exportFormatForResourceID(entry->resourceID()));
    const QUrl target = QUrl::fromLocalFile(folder.toLocalFile() + QLatin1Char('/') + name);
    QVariantMap request = parameters;
    request.insert(TransferKeys::kFileURL, target);

    const GTMHTTPFetcherPtr fetcher = service()->fetcherWithRequest(service()->requestForURL(query.URL()));
    fetcher->setDestinationFileURL(target);
    // The stored file is the one the entry describes; an export has no size to hold it to.
    qint64 expectedBytes = 0;
    if (format.isEmpty() && entry->fileSize()) {
        expectedBytes = std::max<qint64>(0, *entry->fileSize());
        fetcher->setExpectedBodyLength(expectedBytes);
        if (const QString md5 = entry->md5Checksum(); !md5.isEmpty())
            fetcher->setExpectedBodyMD5(md5.toLatin1());
    } else {
        fetcher->setMaximumBodyLength(kMaximumExportBytes);
    }
    fetcher->setTimeLimit(kDownloadTimeLimit.milliseconds() + expectedBytes * 1000 / kMinimumBytesPerSecond);
    QObject* consumer = parameters.value(TQOperation::kProgressConsumerKey).value<QObject*>();
    if (consumer && Invocation::respondsToSelector(consumer, IProgressConsumer::kActionDidProgressSelector)) {
        const QPointer<QObject> watched(consumer);
        const QString progressID = parameters.value(TransferKeys::kProgressID).toString();
        auto reporting = std::make_shared<bool>(true);
        fetcher->setReceivedDataHandler(
            [watched, progressID, request, reporting](const GTMHTTPFetcherPtr&, qint64 bytes, qint64 total) {
                // Without a Content-Length there is nothing to measure against: no more progress.
                if (total < 0)
                    *reporting = false;
                if (*reporting && watched)
                    IProgressConsumer::sendActionDidProgress(watched, progressID, request, quint64(bytes),
                                                             quint64(total));
            });
    }
    fetcher->setProperty(QStringLiteral("parameters"), request);
    auto threadWatch = std::make_shared<QMetaObject::Connection>();
    const bool started = fetcher->beginFetchWithCompletionHandler(
        [invocation, request, folder, threadWatch, title = entry->title(),
         resourceID = entry->resourceID()](const GTMHTTPFetcherPtr&, const QByteArray&, const Error& error) {
            QObject::disconnect(*threadWatch);
            if (!error.isNull()) {
                TQLog("E: GetFile: Cannot download %@ (%@): %@", title, resourceID, error.description());
                // Nothing of a failed download stays behind.
                QDir(folder.toLocalFile()).removeRecursively();
            }
            if (!invocation)
                return;
            QVariantMap answer = request;
            answer.insert(kFeedKey, QVariant());
            answer.insert(kErrorKey, TransferSupport::errorValue(error));
            invocation->setArgument(4, answer);
            invocation->invoke();
        });
    if (!started) {
        QDir(folder.toLocalFile()).removeRecursively();
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
        return;
    }
    // A download can only answer on this thread: if the thread ends first, the download stops.
    if (QObject* threadContext = ThreadDispatch::contextForCurrentThread()) {
        const std::weak_ptr<GTMHTTPFetcher> weak = fetcher;
        *threadWatch = QObject::connect(threadContext, &QObject::destroyed, [weak] {
            if (const auto running = weak.lock())
                running->stopFetching();
        });
    }
}

QVariantMap gddmhGetFile::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
