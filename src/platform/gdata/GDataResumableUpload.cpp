#include "platform/gdata/GDataResumableUpload.h"

#include "platform/gdata/GDataConstants.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <cmath>

namespace tavrel {

GDataResumableUpload::GDataResumableUpload(Settings settings) : m_settings(std::move(settings)) {}

GDataResumableUpload::~GDataResumableUpload() = default;

bool GDataResumableUpload::start(Completion completion, Progress progress, Error* error)
{
    if (m_settings.device) {
        if (!m_settings.device->isOpen() && !m_settings.device->open(QIODevice::ReadOnly)) {
            if (error)
                *error = Error(
                    kGDataServiceErrorDomain, kGDataServiceErrorInvalidInput,
                    {{Error::kLocalizedDescriptionKey, QStringLiteral("The upload data cannot be read.")}});
            return false;
        }
        if (m_settings.device->isSequential()) {
            if (error)
                *error = Error(kGDataServiceErrorDomain, kGDataServiceErrorInvalidInput,
                               {{Error::kLocalizedDescriptionKey,
                                 QStringLiteral("The upload data must come from a file or memory.")}});
            return false;
        }
        m_total = m_settings.device->size();
    } else {
        m_total = m_settings.data.size();
    }
    if (m_settings.chunkSize <= 0)
        m_settings.chunkSize = 1024 * 1024;
    m_completion = std::move(completion);
    m_progress = std::move(progress);
    m_running = true;
    m_self = shared_from_this();
    m_context = GTMHTTPFetcher::threadNetworkAccessManager();
    std::weak_ptr<GDataResumableUpload> weak = weak_from_this();
    QTimer::singleShot(0, m_context.data(), [weak] {
        if (auto self = weak.lock())
            self->startSession();
    });
    return true;
}

void GDataResumableUpload::cancel()
{
    m_cancelled = true;
    GTMHTTPFetcherPtr fetcher;
    {
        std::lock_guard lock(m_mutex);
        fetcher = m_fetcher;
    }
    if (fetcher)
        fetcher->stopFetching();
    if (m_context && m_context->thread() == QThread::currentThread() && m_running) {
        m_running = false;
        m_completion = nullptr;
        m_progress = nullptr;
        QTimer::singleShot(0, m_context.data(), [keep = std::move(m_self)] {});
    } else if (m_context) {
        std::weak_ptr<GDataResumableUpload> weak = weak_from_this();
        QMetaObject::invokeMethod(
            m_context.data(),
            [weak] {
                if (auto self = weak.lock())
                    self->cancel();
            },
            Qt::QueuedConnection);
    }
}

GTMHTTPFetcherPtr GDataResumableUpload::makeFetcher(const QUrl& url, const QByteArray& method)
{
    QNetworkRequest request(url);
    for (const auto& header : m_settings.extraHeaders)
        request.setRawHeader(header.first, header.second);
    GTMHTTPFetcherPtr fetcher = GTMHTTPFetcher::fetcherWithRequest(request);
    fetcher->setHTTPMethod(method);
    fetcher->setAuthorizer(m_settings.authorizer);
    fetcher->setRetryBaseInterval(m_settings.retryBaseInterval);
    fetcher->setMaxRetryInterval(m_settings.maxRetryInterval);
    fetcher->setMaxRetryCount(m_settings.maxRetryCount);
    {
        std::lock_guard lock(m_mutex);
        m_fetcher = fetcher;
    }
    return fetcher;
}

void GDataResumableUpload::startSession()
{
    if (m_cancelled)
        return;
    GTMHTTPFetcherPtr fetcher = makeFetcher(m_settings.sessionURL, m_settings.method);
    QNetworkRequest& request = fetcher->mutableRequest();
    request.setRawHeader("Content-Type", "application/atom+xml; charset=UTF-8");
    request.setRawHeader("X-Upload-Content-Type", m_settings.MIMEType.toUtf8());
    request.setRawHeader("X-Upload-Content-Length", QByteArray::number(m_total));
    if (!m_settings.slug.isEmpty())
        request.setRawHeader("Slug", QUrl::toPercentEncoding(m_settings.slug, " !$&'()*+,;=@[]"));
    if (!m_settings.ETag.isEmpty())
        request.setRawHeader("If-Match", m_settings.ETag.toUtf8());
    fetcher->setPostData(m_settings.metadata);
    fetcher->setRetryEnabled(m_settings.retryEnabled);
    std::weak_ptr<GDataResumableUpload> weak = weak_from_this();
    fetcher->beginFetchWithCompletionHandler([weak](const GTMHTTPFetcherPtr& f, const QByteArray& data,
                                                    const Error& error) {
        auto self = weak.lock();
        if (!self || self->m_cancelled)
            return;
        if (error) {
            self->finish(f->statusCode(), data, error);
            return;
        }
        // Nothing is to follow an empty file: the service makes the document at once and answers
        // with its entry (its Location is the entry's, no session).
        if (f->statusCode() == 201 || f->responseHeader("Content-Type").contains("application/atom+xml")) {
            if (self->m_total == 0)
                self->finish(f->statusCode(), data, Error());
            else
                self->finish(
                    f->statusCode(), {},
                    Error(kGDataServiceErrorDomain, kGDataServiceErrorUpload,
                          {{Error::kLocalizedDescriptionKey,
                            QStringLiteral("The service made the document before it had the data.")}}));
            return;
        }
        const QByteArray location = f->responseHeader("Location");
        if (location.isEmpty()) {
            self->finish(f->statusCode(), data,
                         Error(kGDataServiceErrorDomain, kGDataServiceErrorUpload,
                               {{Error::kLocalizedDescriptionKey,
                                 QStringLiteral("The service did not open an upload session.")}}));
            return;
        }
        self->m_location = f->request().url().resolved(QUrl::fromEncoded(location));
        self->sendChunk(0);
    });
}

QByteArray GDataResumableUpload::readChunk(qint64 offset, qint64 length, Error* error)
{
    if (!m_settings.device)
        return m_settings.data.mid(offset, length);
    QByteArray chunk;
    if (m_settings.device->seek(offset))
        chunk = m_settings.device->read(length);
    if (chunk.size() != length) {
        *error =
            Error(kGDataServiceErrorDomain, kGDataServiceErrorInvalidInput,
                  {{Error::kLocalizedDescriptionKey, QStringLiteral("The upload data could not be read.")}});
    }
    return chunk;
}

void GDataResumableUpload::reportProgress(qint64 sent)
{
    sent = std::min(sent, m_total);
    if (sent <= m_reported)
        return;
    m_reported = sent;
    if (m_progress)
        m_progress(sent, m_total);
}

void GDataResumableUpload::sendChunk(qint64 offset)
{
    if (m_cancelled)
        return;
    const qint64 length = std::min(m_settings.chunkSize, m_total - offset);
    Error readError;
    const QByteArray chunk = readChunk(offset, std::max<qint64>(0, length), &readError);
    if (readError) {
        finish(0, {}, readError);
        return;
    }
    GTMHTTPFetcherPtr fetcher = makeFetcher(m_location, "PUT");
    QNetworkRequest& request = fetcher->mutableRequest();
    request.setRawHeader("Content-Type", m_settings.MIMEType.toUtf8());
    if (m_total == 0)
        request.setRawHeader("Content-Range", "bytes */0");
    else
        request.setRawHeader("Content-Range", "bytes " + QByteArray::number(offset) + '-' +
                                                  QByteArray::number(offset + chunk.size() - 1) + '/' +
                                                  QByteArray::number(m_total));
    fetcher->setPostData(chunk);
    // A failed chunk is not sent again blindly: the status query tells what the service kept.
    fetcher->setRetryEnabled(false);
    std::weak_ptr<GDataResumableUpload> weak = weak_from_this();
    fetcher->setSentDataHandler([weak, offset](const GTMHTTPFetcherPtr&, qint64 sent, qint64) {
        if (auto self = weak.lock())
            self->reportProgress(offset + sent);
    });
    fetcher->beginFetchWithCompletionHandler([weak, offset, size = qint64(chunk.size())](
                                                 const GTMHTTPFetcherPtr& f, const QByteArray& data,
                                                 const Error& error) {
        auto self = weak.lock();
        if (!self || self->m_cancelled)
            return;
        if (!error) {
            self->reportProgress(self->m_total);
            self->finish(f->statusCode(), data, Error());
            return;
        }
        if (f->statusCode() == 308) {
            self->m_failures = 0;
            if (!self->handleIncomplete(f, true))
                self->sendChunk(offset + size);
            return;
        }
        const int status = f->statusCode();
        const bool transient =
            error.domain() == kGTMHTTPFetcherErrorDomain
                ? GTMHTTPFetcher::isRetryableNetworkError(QNetworkReply::NetworkError(error.code()))
                : status >= 500;
        if (transient && self->m_settings.retryEnabled && self->m_failures < self->m_settings.maxRetryCount) {
            self->retryLater();
            return;
        }
        self->finish(status, data, error);
    });
}

std::optional<qint64> GDataResumableUpload::bytesHeldFromRange(const QByteArray& range, qint64 total)
{
    // "Range: bytes=0-N": the service holds N+1 bytes. Without a Range it holds none.
    if (range.trimmed().isEmpty())
        return total > 0 ? std::optional<qint64>(0) : std::nullopt;
    static const QRegularExpression pattern(QStringLiteral("^\\s*bytes\\s*=\\s*0\\s*-\\s*(\\d+)\\s*$"));
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(range));
    bool ok = false;
    const qint64 last = match.hasMatch() ? match.captured(1).toLongLong(&ok) : -1;
    // An unfinished upload holds fewer bytes than it has.
    if (!ok || last + 1 >= total)
        return std::nullopt;
    return last + 1;
}

bool GDataResumableUpload::handleIncomplete(const GTMHTTPFetcherPtr& fetcher, bool answeredChunk)
{
    const QByteArray range = fetcher->responseHeader("Range");
    const std::optional<qint64> held = bytesHeldFromRange(range, m_total);
    if (held && *held > m_mostHeld) {
        m_mostHeld = *held;
        m_roundsWithoutProgress = 0;
    } else if (held && answeredChunk && ++m_roundsWithoutProgress >= kMaximumRoundsWithoutProgress) {
        // A service that keeps taking chunks without keeping them would be sent the file forever.
        finish(fetcher->statusCode(), {},
               Error(kGDataServiceErrorDomain, kGDataServiceErrorUpload,
                     {{Error::kLocalizedDescriptionKey,
                       QStringLiteral("The service kept no more of the upload after %1 tries.")
                           .arg(kMaximumRoundsWithoutProgress)},
                      {Error::kLocalizedFailureReasonKey, QStringLiteral("Range \"%1\" for %2 bytes")
                                                              .arg(QString::fromLatin1(range))
                                                              .arg(m_total)}}));
        return true;
    }
    if (!held) {
        finish(fetcher->statusCode(), {},
               Error(kGDataServiceErrorDomain, kGDataServiceErrorUpload,
                     {{Error::kLocalizedDescriptionKey,
                       QStringLiteral("The service answered an upload with a range it cannot hold.")},
                      {Error::kLocalizedFailureReasonKey, QStringLiteral("Range \"%1\" for %2 bytes")
                                                              .arg(QString::fromLatin1(range))
                                                              .arg(m_total)}}));
        return true;
    }
    reportProgress(*held);
    sendChunk(*held);
    return true;
}

void GDataResumableUpload::retryLater()
{
    const double delay =
        std::min(m_settings.maxRetryInterval, m_settings.retryBaseInterval * std::pow(2.0, m_failures)) *
        (0.5 + 0.5 * QRandomGenerator::global()->generateDouble());
    ++m_failures;
    std::weak_ptr<GDataResumableUpload> weak = weak_from_this();
    QTimer::singleShot(int(delay * 1000), m_context.data(), [weak] {
        if (auto self = weak.lock())
            self->queryStatus();
    });
}

void GDataResumableUpload::queryStatus()
{
    if (m_cancelled)
        return;
    GTMHTTPFetcherPtr fetcher = makeFetcher(m_location, "PUT");
    fetcher->mutableRequest().setRawHeader("Content-Range", "bytes */" + QByteArray::number(m_total));
    fetcher->setRetryEnabled(false);
    std::weak_ptr<GDataResumableUpload> weak = weak_from_this();
    fetcher->beginFetchWithCompletionHandler(
        [weak](const GTMHTTPFetcherPtr& f, const QByteArray& data, const Error& error) {
            auto self = weak.lock();
            if (!self || self->m_cancelled)
                return;
            if (!error) {
                self->reportProgress(self->m_total);
                self->finish(f->statusCode(), data, Error());
                return;
            }
            if (f->statusCode() == 308) {
                self->handleIncomplete(f, false);
                return;
            }
            const int status = f->statusCode();
            const bool transient =
                error.domain() == kGTMHTTPFetcherErrorDomain
                    ? GTMHTTPFetcher::isRetryableNetworkError(QNetworkReply::NetworkError(error.code()))
                    : status >= 500;
            if (transient && self->m_failures < self->m_settings.maxRetryCount) {
                self->retryLater();
                return;
            }
            self->finish(status, data, error);
        });
}

void GDataResumableUpload::finish(int status, const QByteArray& body, const Error& error)
{
    if (!m_running)
        return;
    m_running = false;
    {
        std::lock_guard lock(m_mutex);
        m_fetcher.reset();
    }
    Completion completion = std::move(m_completion);
    m_completion = nullptr;
    m_progress = nullptr;
    auto self = std::move(m_self);
    if (completion && !m_cancelled)
        completion(status, body, error);
}

} // namespace tavrel
