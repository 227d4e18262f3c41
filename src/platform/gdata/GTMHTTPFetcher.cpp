#include "platform/gdata/GTMHTTPFetcher.h"

#include "platform/gdata/GDataConstants.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/system/Reachability.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QThread>
#include <QThreadStorage>
#include <QTimer>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace tavrel {

namespace {
QThreadStorage<QNetworkAccessManager*> gManagers;
constexpr qint64 kReplyReadBufferBytes = 4 * 1024 * 1024;
std::atomic<qint64> gDefaultMaximumMemoryBodyLength{GTMHTTPFetcher::kMaximumMemoryBodyBytes};
} // namespace

void GTMHTTPFetcher::setDefaultMaximumMemoryBodyLength(qint64 bytes)
{
    gDefaultMaximumMemoryBodyLength = bytes;
}

qint64 GTMHTTPFetcher::defaultMaximumMemoryBodyLength()
{
    return gDefaultMaximumMemoryBodyLength;
}

QNetworkAccessManager* GTMHTTPFetcher::threadNetworkAccessManager()
{
    if (!gManagers.hasLocalData()) {
        auto* manager = new QNetworkAccessManager;
        manager->setAutoDeleteReplies(false);
        gManagers.setLocalData(manager);
    }
    return gManagers.localData();
}

GTMHTTPFetcher::GTMHTTPFetcher(const QNetworkRequest& request) : m_request(request) {}

GTMHTTPFetcher::~GTMHTTPFetcher()
{
    if (m_reply) {
        // Only a fetch given up mid-flight gets here (a finished reply was handed to the event loop).
        QObject::disconnect(m_reply, nullptr, nullptr, nullptr);
        m_reply->abort();
        if (m_reply->thread() == QThread::currentThread())
            delete m_reply.data();
        else
            m_reply->deleteLater();
    }
    discardDestination();
}

GTMHTTPFetcherPtr GTMHTTPFetcher::fetcherWithRequest(const QNetworkRequest& request)
{
    return GTMHTTPFetcherPtr(new GTMHTTPFetcher(request));
}

QByteArray GTMHTTPFetcher::responseHeader(const QByteArray& name) const
{
    for (const auto& header : m_responseHeaders) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    }
    return {};
}

bool GTMHTTPFetcher::isRetryableNetworkError(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError: // the transfer time-out aborts this way
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::ProtocolFailure:
        return true;
    default:
        return false;
    }
}

Error GTMHTTPFetcher::statusError(const QString& domain, int status, const QByteArray& body, const QUrl& url)
{
    QString text = QString::fromUtf8(body).trimmed();
    QString description = QStringLiteral("The service answered with HTTP status %1.").arg(status);
    if (!text.isEmpty() && text.size() < 500 && !text.startsWith(QLatin1Char('<')))
        description = QStringLiteral("The service answered with HTTP status %1: %2").arg(status).arg(text);
    return Error(domain, status,
                 {{Error::kLocalizedDescriptionKey, description},
                  {kGDataServerErrorStringKey, QString::fromUtf8(body)},
                  {kGDataHTTPStatusDataKey, body},
                  {kGDataHTTPURLKey, url.toString()}});
}

bool GTMHTTPFetcher::beginFetchWithCompletionHandler(Completion completion)
{
    if (m_fetching || !m_request.url().isValid() || m_request.url().scheme().isEmpty())
        return false;
    m_completion = std::move(completion);
    m_fetching = true;
    m_stopped = false;
    m_retryCount = 0;
    m_refreshedAfter401 = false;
    m_currentURL = m_request.url();
    m_currentMethod = m_method;
    m_redirectCount = 0;
    ++m_generation;
    m_self = shared_from_this();
    m_context = threadNetworkAccessManager();
    if (m_timeLimit > 0) {
        std::weak_ptr<GTMHTTPFetcher> weakTimer = weak_from_this();
        QTimer::singleShot(
            std::chrono::milliseconds(m_timeLimit), m_context.data(), [weakTimer, generation = m_generation] {
                auto self = weakTimer.lock();
                if (!self || self->m_generation != generation || !self->m_fetching)
                    return;
                self->fail(Error(kGTMHTTPFetcherErrorDomain, kGTMHTTPFetcherErrorTimeLimit,
                                 {{Error::kLocalizedDescriptionKey,
                                   QStringLiteral("The answer did not arrive within %1 seconds.")
                                       .arg(double(self->m_timeLimit) / 1000.0)},
                                  {kGDataHTTPURLKey, self->m_request.url().toString()}}));
            });
    }
    // Start from the event loop, so that the completion never runs inside this call; posted, so that
    // it goes before anything the caller posts after this call.
    std::weak_ptr<GTMHTTPFetcher> weak = weak_from_this();
    QMetaObject::invokeMethod(
        m_context.data(),
        [weak] {
            if (auto self = weak.lock())
                self->authorizeAndSend();
        },
        Qt::QueuedConnection);
    return true;
}

bool GTMHTTPFetcher::beginFetchWithDelegate(QObject* delegate, const char* selector)
{
    if (!delegate || !selector)
        return false;
    QPointer<QObject> target(delegate);
    const QByteArray method(selector);
    return beginFetchWithCompletionHandler(
        [target, method](const GTMHTTPFetcherPtr& fetcher, const QByteArray& data, const Error& error) {
            if (target)
                QMetaObject::invokeMethod(target, method.constData(), Qt::DirectConnection,
                                          Q_ARG(tavrel::GTMHTTPFetcherPtr, fetcher), Q_ARG(QByteArray, data),
                                          Q_ARG(tavrel::Error, error));
        });
}

void GTMHTTPFetcher::stopFetching()
{
    m_stopped = true;
    if (!m_context)
        return;
    if (m_context->thread() != QThread::currentThread()) {
        // The reply belongs to the starting thread: stop it there.
        std::weak_ptr<GTMHTTPFetcher> weak = weak_from_this();
        QMetaObject::invokeMethod(
            m_context.data(),
            [weak] {
                if (auto self = weak.lock())
                    self->stopFetching();
            },
            Qt::QueuedConnection);
        return;
    }
    if (!m_fetching)
        return;
    m_fetching = false;
    if (m_reply) {
        QObject::disconnect(m_reply, nullptr, m_context.data(), nullptr);
        m_reply->abort();
        m_reply->deleteLater();
        m_reply = nullptr;
    }
    discardDestination();
    m_completion = nullptr;
    m_receivedHandler = nullptr;
    m_sentHandler = nullptr;
    // Release the self reference once control is back in the event loop.
    QTimer::singleShot(0, m_context.data(), [keep = std::move(m_self)] {});
}

void GTMHTTPFetcher::authorizeAndSend()
{
    if (m_stopped || !m_fetching)
        return;
    m_sending = m_request;
    m_sending.setUrl(m_currentURL);
    // The token belongs to its service's origin: a request anywhere else goes without it.
    if (!m_authorizer || !m_authorizer->mayAuthorizeURL(m_currentURL)) {
        m_sending.setRawHeader("Authorization", QByteArray());
        send();
        return;
    }
    std::weak_ptr<GTMHTTPFetcher> weak = weak_from_this();
    m_authorizer->authorizeRequest(&m_sending, [weak](const Error& error) {
        auto self = weak.lock();
        if (!self || self->m_stopped || !self->m_fetching)
            return;
        if (error) {
            self->finish(error);
            return;
        }
        self->send();
    });
}

bool GTMHTTPFetcher::openDestination(Error* error)
{
    if (m_destination.isEmpty())
        return true;
    const QString path = m_destination.toLocalFile();
    QDir().mkpath(QFileInfo(path).absolutePath());
    m_saveFile = std::make_unique<QSaveFile>(path);
    // Unbuffered, so that a failed write (a full disk) is seen at the chunk that failed.
    if (!m_saveFile->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *error = Error(Error::kPOSIXErrorDomain, 13,
                       {{Error::kLocalizedDescriptionKey,
                         QStringLiteral("Cannot write \"%1\": %2").arg(path, m_saveFile->errorString())}});
        m_saveFile.reset();
        return false;
    }
    return true;
}

void GTMHTTPFetcher::discardDestination()
{
    if (m_saveFile) {
        m_saveFile->cancelWriting();
        m_saveFile.reset();
    }
}

void GTMHTTPFetcher::send()
{
    m_data.clear();
    m_receivedBytes = 0;
    m_expectedLength = -1;
    m_statusCode = 0;
    m_responseHeaders.clear();
    m_md5.reset();
    if (!m_expectedMD5.isEmpty())
        m_md5 = std::make_unique<QCryptographicHash>(QCryptographicHash::Md5);
    discardDestination();
    Error fileError;
    if (!openDestination(&fileError)) {
        finish(fileError);
        return;
    }
    // Redirects are followed here (followRedirect), never by Qt, which would carry every header along.
    m_sending.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    if (m_transferTimeout > 0)
        m_sending.setTransferTimeout(m_transferTimeout * 1000);

    QNetworkAccessManager* manager = threadNetworkAccessManager();
    QNetworkReply* reply = nullptr;
    if (m_currentMethod == "GET")
        reply = manager->get(m_sending);
    else if (m_currentMethod == "DELETE" && m_postData.isEmpty())
        reply = manager->deleteResource(m_sending);
    else if (m_currentMethod == "POST")
        reply = manager->post(m_sending, m_postData);
    else if (m_currentMethod == "PUT")
        reply = manager->put(m_sending, m_postData);
    else
        reply = manager->sendCustomRequest(m_sending, m_currentMethod, m_postData);
    m_reply = reply;
    // The reply holds a few megabytes at most: an answer going to a file is taken from the network no
    // faster than it is written, and one kept in memory meets its limit when it passes it. Without this
    // a fast endless answer piles up in the reply, never signalling, until memory runs out.
    reply->setReadBufferSize(kReplyReadBufferBytes);

    std::weak_ptr<GTMHTTPFetcher> weak = weak_from_this();
    QObject::connect(reply, &QNetworkReply::readyRead, m_context.data(), [weak] {
        if (auto self = weak.lock())
            self->onReadyRead();
    });
    QObject::connect(reply, &QNetworkReply::finished, m_context.data(), [weak] {
        if (auto self = weak.lock())
            self->onFinished();
    });
    QObject::connect(reply, &QNetworkReply::uploadProgress, m_context.data(),
                     [weak](qint64 sent, qint64 total) {
                         auto self = weak.lock();
                         if (self && self->m_sentHandler && sent > 0)
                             self->m_sentHandler(self, sent, total);
                     });
}

void GTMHTTPFetcher::onReadyRead()
{
    if (!m_reply)
        return;
    if (m_expectedLength < 0) {
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            m_expectedLength = length.toLongLong();
    }
    const QByteArray chunk = m_reply->readAll();
    if (chunk.isEmpty())
        return;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool toFile = m_saveFile && status >= 200 && status < 300;
    const qint64 limit = m_maximumBodyLength != 0 ? m_maximumBodyLength
                         : toFile                 ? -1
                                                  : defaultMaximumMemoryBodyLength();
    const qint64 received = m_receivedBytes + chunk.size();
    if (limit >= 0 && received > limit) {
        fail(Error(kGTMHTTPFetcherErrorDomain, kGTMHTTPFetcherErrorBodyTooLarge,
                   {{Error::kLocalizedDescriptionKey,
                     QStringLiteral("The answer is larger than the %1 bytes it may have.").arg(limit)},
                    {kGDataHTTPURLKey, m_request.url().toString()}}));
        return;
    }
    if (status >= 200 && status < 300 && m_expectedBodyLength >= 0 && received > m_expectedBodyLength) {
        fail(Error(
            kGTMHTTPFetcherErrorDomain, kGTMHTTPFetcherErrorBodyMismatch,
            {{Error::kLocalizedDescriptionKey,
              QStringLiteral("The answer is larger than the %1 bytes expected.").arg(m_expectedBodyLength)},
             {kGDataHTTPURLKey, m_request.url().toString()}}));
        return;
    }
    if (toFile) {
        errno = 0;
        if (m_saveFile->write(chunk) != chunk.size()) {
            // The system's own reason (a full disk, a file too large); the save file only knows it failed.
            const int code = errno;
            const QString reason =
                code ? QString::fromLocal8Bit(std::strerror(code)) : m_saveFile->errorString();
            fail(Error(
                Error::kPOSIXErrorDomain, code ? code : 5,
                {{Error::kLocalizedDescriptionKey,
                  QStringLiteral("Cannot write \"%1\": %2").arg(m_destination.toLocalFile(), reason)}}));
            return;
        }
    } else {
        m_data += chunk;
    }
    if (m_md5 && status >= 200 && status < 300)
        m_md5->addData(chunk);
    m_receivedBytes = received;
    if (m_receivedHandler)
        m_receivedHandler(shared_from_this(), m_receivedBytes, m_expectedLength);
}

double GTMHTTPFetcher::nextRetryDelay(double retryAfter) const
{
    if (retryAfter >= 0)
        return std::min(retryAfter, m_maxRetryInterval);
    const double exponential =
        std::min(m_maxRetryInterval, m_retryBaseInterval * std::pow(2.0, m_retryCount));
    // Jitter keeps many clients from coming back at the same moment.
    return exponential * (0.5 + 0.5 * QRandomGenerator::global()->generateDouble());
}

void GTMHTTPFetcher::scheduleRetry(double delaySeconds)
{
    ++m_retryCount;
    std::weak_ptr<GTMHTTPFetcher> weak = weak_from_this();
    QTimer::singleShot(int(delaySeconds * 1000), m_context.data(), [weak] {
        if (auto self = weak.lock())
            self->authorizeAndSend();
    });
}

void GTMHTTPFetcher::onFinished()
{
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    onReadyRead();
    m_reply = nullptr;
    reply->deleteLater();
    if (m_stopped || !m_fetching)
        return;

    const QNetworkReply::NetworkError networkError = reply->error();
    m_statusCode = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    m_responseHeaders = reply->rawHeaderPairs();
    const bool canRetry = m_retryEnabled && m_retryCount < m_maxRetryCount;

    // Errors below 100 are the connection's (reset, refused, time-out), even when a status line had come;
    // any error on a 2xx answer (a body Qt could not decompress) means the body is not the one sent.
    const bool successStatus = m_statusCode >= 200 && m_statusCode < 300;
    const bool transportFailure =
        networkError != QNetworkReply::NoError && (networkError < 100 || successStatus);
    if (m_statusCode == 0 || transportFailure) {
        if (networkError == QNetworkReply::NoError) {
            finish(Error(kGTMHTTPFetcherErrorDomain, QNetworkReply::UnknownNetworkError,
                         {{Error::kLocalizedDescriptionKey, QStringLiteral("The service sent no answer.")}}));
            return;
        }
        // The connection's watchers hear of it now, not at their next look, retry or not.
        switch (networkError) {
        case QNetworkReply::ConnectionRefusedError:
        case QNetworkReply::HostNotFoundError:
        case QNetworkReply::TimeoutError:
        case QNetworkReply::TemporaryNetworkFailureError:
        case QNetworkReply::NetworkSessionFailedError:
        case QNetworkReply::UnknownNetworkError:
            NotificationCenter::defaultCenter().post(Reachability::kConnectionFailedNotification,
                                                     QVariant(m_request.url().host()));
            break;
        default:
            break;
        }
        if (canRetry && isRetryableNetworkError(networkError)) {
            scheduleRetry(nextRetryDelay(-1));
            return;
        }
        finish(Error(kGTMHTTPFetcherErrorDomain, networkError,
                     {{Error::kLocalizedDescriptionKey, reply->errorString()},
                      {kGDataHTTPURLKey, m_request.url().toString()}}));
        return;
    }

    // Qt reports an answer cut short by a closed connection as complete: compare with Content-Length
    // (when the body was not compressed, which changes its length) and treat a short body as a reset.
    if (networkError == QNetworkReply::NoError && m_statusCode >= 200 && m_statusCode < 300 &&
        m_currentMethod != "HEAD" && responseHeader("Content-Encoding").isEmpty()) {
        bool ok = false;
        const qint64 announced = responseHeader("Content-Length").trimmed().toLongLong(&ok);
        if (ok && announced != m_receivedBytes) {
            if (canRetry) {
                scheduleRetry(nextRetryDelay(-1));
                return;
            }
            finish(Error(kGTMHTTPFetcherErrorDomain, QNetworkReply::RemoteHostClosedError,
                         {{Error::kLocalizedDescriptionKey,
                           QStringLiteral("The connection closed after %1 of %2 bytes.")
                               .arg(m_receivedBytes)
                               .arg(announced)},
                          {kGDataHTTPURLKey, m_request.url().toString()}}));
            return;
        }
    }

    if (m_statusCode == 401 && m_authorizer && m_authorizer->mayAuthorizeURL(m_currentURL) &&
        !m_refreshedAfter401) {
        m_refreshedAfter401 = true;
        std::weak_ptr<GTMHTTPFetcher> weak = weak_from_this();
        const QByteArray body = m_data;
        m_authorizer->refreshAccessToken([weak, body](const Error& error) {
            auto self = weak.lock();
            if (!self || self->m_stopped || !self->m_fetching)
                return;
            if (error) {
                self->finish(statusError(kGTMHTTPFetcherStatusDomain, 401, body, self->m_request.url()));
                return;
            }
            self->authorizeAndSend();
        });
        return;
    }

    if (m_statusCode >= 500 && m_statusCode < 600 && canRetry) {
        double retryAfter = -1;
        const QByteArray header = responseHeader("Retry-After").trimmed();
        if (!header.isEmpty()) {
            bool ok = false;
            const double seconds = header.toDouble(&ok);
            if (ok) {
                retryAfter = std::max(0.0, seconds);
            } else {
                const QDateTime when = QDateTime::fromString(QString::fromLatin1(header), Qt::RFC2822Date);
                if (when.isValid())
                    retryAfter = std::max<qint64>(0, QDateTime::currentDateTimeUtc().secsTo(when));
            }
        }
        scheduleRetry(nextRetryDelay(retryAfter));
        return;
    }

    if (followRedirect())
        return;

    if (m_statusCode >= 300) {
        finish(statusError(kGTMHTTPFetcherStatusDomain, m_statusCode, m_data, m_request.url()));
        return;
    }

    // A body other than the one expected never replaces anything.
    if (m_expectedBodyLength >= 0 && m_receivedBytes != m_expectedBodyLength) {
        finish(
            Error(kGTMHTTPFetcherErrorDomain, kGTMHTTPFetcherErrorBodyMismatch,
                  {{Error::kLocalizedDescriptionKey, QStringLiteral("The answer has %1 bytes instead of %2.")
                                                         .arg(m_receivedBytes)
                                                         .arg(m_expectedBodyLength)},
                   {kGDataHTTPURLKey, m_request.url().toString()}}));
        return;
    }
    if (m_md5) {
        const QByteArray digest = m_md5->result().toHex();
        if (digest != m_expectedMD5) {
            finish(Error(kGTMHTTPFetcherErrorDomain, kGTMHTTPFetcherErrorBodyMismatch,
                         {{Error::kLocalizedDescriptionKey,
                           QStringLiteral("The answer's MD5 checksum is %1 instead of %2.")
                               .arg(QString::fromLatin1(digest), QString::fromLatin1(m_expectedMD5))},
                          {kGDataHTTPURLKey, m_request.url().toString()}}));
            return;
        }
    }

    if (m_saveFile) {
        if (!m_saveFile->commit()) {
            const QString reason = m_saveFile->errorString();
            m_saveFile.reset();
            finish(Error(
                Error::kPOSIXErrorDomain, 5,
                {{Error::kLocalizedDescriptionKey,
                  QStringLiteral("Cannot write \"%1\": %2").arg(m_destination.toLocalFile(), reason)}}));
            return;
        }
        m_saveFile.reset();
    }
    finish(Error());
}

bool GTMHTTPFetcher::followRedirect()
{
    static const QList<int> kRedirects = {301, 302, 303, 307, 308};
    const QByteArray location = responseHeader("Location").trimmed();
    if (!m_followRedirects || !kRedirects.contains(m_statusCode) || location.isEmpty())
        return false;
    const QUrl next = m_currentURL.resolved(QUrl::fromEncoded(location));
    QString refusal;
    if (++m_redirectCount > kMaximumRedirects)
        refusal = QStringLiteral("The service redirected more than %1 times.").arg(kMaximumRedirects);
    else if (!next.isValid() ||
             (next.scheme() != QLatin1String("http") && next.scheme() != QLatin1String("https")))
        refusal = QStringLiteral("The service redirected to an address that cannot be fetched.");
    else if (m_currentURL.scheme() == QLatin1String("https") && next.scheme() == QLatin1String("http"))
        refusal = QStringLiteral("The service redirected from a secure address to an insecure one.");
    if (!refusal.isEmpty()) {
        finish(Error(kGTMHTTPFetcherErrorDomain, kGTMHTTPFetcherErrorRedirect,
                     {{Error::kLocalizedDescriptionKey, refusal}, {kGDataHTTPURLKey, next.toString()}}));
        return true;
    }
    // As browsers do: 303, and 301 or 302 after a POST, fetch the new address with GET.
    if (m_statusCode == 303 ? m_currentMethod != "HEAD"
                            : (m_statusCode == 301 || m_statusCode == 302) && m_currentMethod == "POST") {
        m_currentMethod = "GET";
        m_postData.clear();
    }
    m_currentURL = next;
    authorizeAndSend();
    return true;
}

void GTMHTTPFetcher::fail(const Error& error)
{
    if (m_reply) {
        QNetworkReply* reply = m_reply;
        m_reply = nullptr;
        QObject::disconnect(reply, nullptr, m_context.data(), nullptr);
        reply->abort();
        reply->deleteLater();
    }
    finish(error);
}

void GTMHTTPFetcher::finish(const Error& error)
{
    if (!m_fetching)
        return;
    m_fetching = false;
    if (error)
        discardDestination();
    Completion completion = std::move(m_completion);
    m_completion = nullptr;
    GTMHTTPFetcherPtr self = std::move(m_self); // released when this call returns
    if (completion && !m_stopped)
        completion(self, m_data, error);
    m_receivedHandler = nullptr;
    m_sentHandler = nullptr;
}

} // namespace tavrel
