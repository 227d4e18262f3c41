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
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

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

namespace {

// The extension of a file name if it looks like one: a few letters and digits after the last dot.
QString extensionOfName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("\\.([A-Za-z0-9]{1,8})$"));
    const QRegularExpressionMatch match = pattern.match(name.trimmed());
    return match.hasMatch() ? match.captured(1).toLower() : QString();
}

// A parameter of a Content-Disposition header, unquoted ("" when absent).
QString dispositionParameter(const QByteArray& header, const QByteArray& name)
{
    for (const QByteArray& part : header.split(';')) {
        const qsizetype equals = part.indexOf('=');
        if (equals < 0 || part.left(equals).trimmed().toLower() != name)
            continue;
        QByteArray value = part.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return QString::fromUtf8(value);
    }
    return QString();
}

} // namespace

QString gddmhGetFile::extensionOfAnswer(const QByteArray& contentDisposition, const QByteArray& contentType)
{
    // filename*=UTF-8''name (RFC 5987) names the file best; the plain filename may be percent-encoded.
    const QString extended = dispositionParameter(contentDisposition, "filename*");
    const qsizetype quotes = extended.indexOf(QLatin1String("''"));
    if (quotes >= 0) {
        if (const QString ext = extensionOfName(QUrl::fromPercentEncoding(extended.mid(quotes + 2).toUtf8()));
            !ext.isEmpty())
            return ext;
    }
    if (const QString ext = extensionOfName(
            QUrl::fromPercentEncoding(dispositionParameter(contentDisposition, "filename").toUtf8()));
        !ext.isEmpty())
        return ext;
    static const QHash<QByteArray, QString> types = {
        {"application/msword", QStringLiteral("doc")},
        {"application/vnd.openxmlformats-officedocument.wordprocessingml.document", QStringLiteral("docx")},
        {"application/vnd.ms-powerpoint", QStringLiteral("ppt")},
        {"application/vnd.openxmlformats-officedocument.presentationml.presentation", QStringLiteral("pptx")},
        {"application/vnd.ms-excel", QStringLiteral("xls")},
        {"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet", QStringLiteral("xlsx")},
        {"application/vnd.oasis.opendocument.text", QStringLiteral("odt")},
        {"application/vnd.oasis.opendocument.spreadsheet", QStringLiteral("ods")},
        {"application/x-vnd.oasis.opendocument.spreadsheet", QStringLiteral("ods")},
        {"application/vnd.oasis.opendocument.presentation", QStringLiteral("odp")},
        {"application/pdf", QStringLiteral("pdf")},
        {"application/rtf", QStringLiteral("rtf")},
        {"text/plain", QStringLiteral("txt")},
        {"text/html", QStringLiteral("html")},
        {"text/csv", QStringLiteral("csv")},
        {"text/tab-separated-values", QStringLiteral("tsv")},
        {"image/png", QStringLiteral("png")},
        {"image/jpeg", QStringLiteral("jpeg")},
        {"image/svg+xml", QStringLiteral("svg")},
    };
    return types.value(contentType.split(';').first().trimmed().toLower());
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

    // The extension follows the kind until the answer names its own.
    const QUrl folder = TemporaryFiles::URLTempUniqueDirectory();
    if (folder.isEmpty() || !service()) {
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
        return;
    }
    const QString kindExtension = exportFormatForResourceID(entry->resourceID());
    const QString name = TransferSupport::safeFileName(entry->title(), kindExtension);
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
    QObject* consumer = TQOperation::progressConsumerOf(parameters.value(TQOperation::kProgressConsumerKey));
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
        [invocation, request, folder, threadWatch, title = entry->title(), resourceID = entry->resourceID(),
         kindExtension](const GTMHTTPFetcherPtr& done, const QByteArray&, const Error& error) {
            QObject::disconnect(*threadWatch);
            Error failure = error;
            QVariantMap answer = request;
            // An export is named after what came: a presentation asked as "ppt" comes as "pptx".
            if (failure.isNull() && !kindExtension.isEmpty()) {
                const QString given = extensionOfAnswer(done->responseHeader("Content-Disposition"),
                                                        done->responseHeader("Content-Type"));
                if (!given.isEmpty() && given.compare(kindExtension, Qt::CaseInsensitive) != 0) {
                    const QString written = request.value(TransferKeys::kFileURL).toUrl().toLocalFile();
                    const QString renamed =
                        folder.toLocalFile() + QLatin1Char('/') + TransferSupport::safeFileName(title, given);
                    QFile file(written);
                    if (file.rename(renamed))
                        answer.insert(TransferKeys::kFileURL, QUrl::fromLocalFile(renamed));
                    else
                        failure = Error(Error::kPOSIXErrorDomain, 5,
                                        {{Error::kLocalizedDescriptionKey,
                                          QStringLiteral("Cannot rename \"%1\" to \"%2\": %3")
                                              .arg(written, renamed, file.errorString())}});
                }
            }
            if (!failure.isNull()) {
                TQLog("E: GetFile: Cannot download %@ (%@): %@", title, resourceID, failure.description());
                // Nothing of a failed download stays behind.
                QDir(folder.toLocalFile()).removeRecursively();
            }
            if (!invocation)
                return;
            answer.insert(kFeedKey, QVariant());
            answer.insert(kErrorKey, TransferSupport::errorValue(failure));
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
