#pragma once

#include "platform/gdata/GDataAuthorizer.h"
#include "platform/runtime/Error.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QUrl>
#include <QVariantMap>
#include <functional>
#include <memory>

class QCryptographicHash;
class QNetworkAccessManager;
class QSaveFile;

namespace tavrel {

class GTMHTTPFetcher;
using GTMHTTPFetcherPtr = std::shared_ptr<GTMHTTPFetcher>;

// One HTTP exchange, started on the calling thread (which must run an event loop) and finished on it:
// the request is signed by the authorizer, transient failures (connection reset or refused, time-outs,
// 5xx answers, 503 with Retry-After) are retried with capped, jittered exponential back-off, a 401 leads
// to one token refresh and one replay, and the completion gets (fetcher, data, error). An HTTP status of
// 300 or more is an error of kGTMHTTPFetcherStatusDomain with the status as code and the body in the user
// info; a failure below HTTP is an error of kGTMHTTPFetcherErrorDomain, and so is any network error Qt
// reports on a 2xx answer (a body it could not decompress, a cut connection). With a destination file the
// body is written to a temporary file that replaces the destination only when the whole answer arrived
// and matched what was expected of it. Redirects are followed by the fetcher itself, so that the token
// goes only to the authorizer's own origin, and never from https to http. The fetcher keeps itself alive
// while it runs.
class GTMHTTPFetcher : public std::enable_shared_from_this<GTMHTTPFetcher>
{
public:
    using Completion =
        std::function<void(const GTMHTTPFetcherPtr& fetcher, const QByteArray& data, const Error& error)>;
    using ProgressHandler = std::function<void(const GTMHTTPFetcherPtr& fetcher, qint64 bytes, qint64 total)>;

    static GTMHTTPFetcherPtr fetcherWithRequest(const QNetworkRequest& request);
    ~GTMHTTPFetcher();
    GTMHTTPFetcher(const GTMHTTPFetcher&) = delete;
    GTMHTTPFetcher& operator=(const GTMHTTPFetcher&) = delete;

    const QNetworkRequest& request() const { return m_request; }
    QNetworkRequest& mutableRequest() { return m_request; }
    void setHTTPMethod(const QByteArray& method) { m_method = method; }
    const QByteArray& httpMethod() const { return m_method; }
    void setPostData(const QByteArray& data) { m_postData = data; }

    void setAuthorizer(std::shared_ptr<GDataAuthorizer> authorizer) { m_authorizer = std::move(authorizer); }
    const std::shared_ptr<GDataAuthorizer>& authorizer() const { return m_authorizer; }

    // Writes the answer to this file (through a temporary that is renamed on success) instead of memory.
    void setDestinationFileURL(const QUrl& fileURL) { m_destination = fileURL; }

    // Byte progress: received (total from Content-Length, -1 without) and sent.
    void setReceivedDataHandler(ProgressHandler handler) { m_receivedHandler = std::move(handler); }
    void setSentDataHandler(ProgressHandler handler) { m_sentHandler = std::move(handler); }

    // Retries. The base interval is the first delay in seconds; each retry doubles it up to the maximum.
    void setRetryEnabled(bool enabled) { m_retryEnabled = enabled; }
    void setMaxRetryCount(int count) { m_maxRetryCount = count; }
    void setRetryBaseInterval(double seconds) { m_retryBaseInterval = seconds; }
    void setMaxRetryInterval(double seconds) { m_maxRetryInterval = seconds; }
    // Seconds without any byte moving after which the attempt fails (and may be retried); 0: never.
    void setTransferTimeout(int seconds) { m_transferTimeout = seconds; }
    void setFollowsRedirects(bool follow) { m_followRedirects = follow; }
    // The most bytes of body an answer may have; more fail the fetch at once. Bodies kept in memory are
    // held to defaultMaximumMemoryBodyLength() unless set; -1: no limit (for a destination file).
    void setMaximumBodyLength(qint64 bytes) { m_maximumBodyLength = bytes; }
    // What the 2xx body must be; a body that differs fails (more bytes than expected fail at once).
    void setExpectedBodyLength(qint64 bytes) { m_expectedBodyLength = bytes; }
    void setExpectedBodyMD5(const QByteArray& hexDigest) { m_expectedMD5 = hexDigest.trimmed().toLower(); }
    // Milliseconds the whole fetch may take, retries included, however slowly bytes keep coming; 0: no
    // limit.
    void setTimeLimit(qint64 milliseconds) { m_timeLimit = milliseconds; }

    static constexpr qint64 kMaximumMemoryBodyBytes = 64 * 1024 * 1024;
    // The limit for bodies kept in memory by fetchers that set none; tests lower it so that an endless
    // answer reaches it in a moment. Read when bytes arrive, from any thread.
    static void setDefaultMaximumMemoryBodyLength(qint64 bytes);
    static qint64 defaultMaximumMemoryBodyLength();
    static constexpr int kMaximumRedirects = 10;

    // Starts the fetch; false when it cannot start (no URL). The completion is never called from here.
    bool beginFetchWithCompletionHandler(Completion completion);
    // The same with a QObject delegate and the name of an invokable method taking
    // (tavrel::GTMHTTPFetcherPtr, QByteArray, tavrel::Error); nothing is called once the delegate is gone.
    bool beginFetchWithDelegate(QObject* delegate, const char* selector);
    // Stops without calling the completion. Safe from any thread.
    void stopFetching();

    int statusCode() const { return m_statusCode; }
    QList<QPair<QByteArray, QByteArray>> responseHeaders() const { return m_responseHeaders; }
    QByteArray responseHeader(const QByteArray& name) const;

    void setProperty(const QString& key, const QVariant& value) { m_properties.insert(key, value); }
    QVariant propertyForKey(const QString& key) const { return m_properties.value(key); }
    const QVariantMap& properties() const { return m_properties; }

    // Whether a network error is worth retrying.
    static bool isRetryableNetworkError(QNetworkReply::NetworkError error);
    // The network access manager of the calling thread (one per thread, deleted with it).
    static QNetworkAccessManager* threadNetworkAccessManager();
    // An error of the status domain for an answer.
    static Error statusError(const QString& domain, int status, const QByteArray& body, const QUrl& url);

private:
    explicit GTMHTTPFetcher(const QNetworkRequest& request);
    void authorizeAndSend();
    void send();
    void onReadyRead();
    void onFinished();
    void scheduleRetry(double delaySeconds);
    double nextRetryDelay(double retryAfter) const;
    void finish(const Error& error);
    // Stops the running reply and finishes with the error (no retry).
    void fail(const Error& error);
    bool followRedirect();
    bool openDestination(Error* error);
    void discardDestination();

    QNetworkRequest m_request;
    QNetworkRequest m_sending;
    QByteArray m_method = "GET";
    QByteArray m_postData;
    QUrl m_currentURL; // where the request goes after redirects
    QByteArray m_currentMethod;
    int m_redirectCount = 0;
    std::shared_ptr<GDataAuthorizer> m_authorizer;
    QUrl m_destination;
    std::unique_ptr<QSaveFile> m_saveFile;
    ProgressHandler m_receivedHandler;
    ProgressHandler m_sentHandler;
    Completion m_completion;
    bool m_retryEnabled = true;
    int m_maxRetryCount = 5;
    double m_retryBaseInterval = 1.0;
    double m_maxRetryInterval = 60.0;
    int m_retryCount = 0;
    int m_transferTimeout = 120;
    bool m_followRedirects = false;
    bool m_refreshedAfter401 = false;
    bool m_fetching = false;
    std::atomic<bool> m_stopped{false};

    // The starting thread's network access manager, used as context of connections and timers. It is never
    // deleted by the fetcher: every lambda holds a weak reference, so late calls do nothing.
    QPointer<QObject> m_context;
    QPointer<QNetworkReply> m_reply;
    int m_statusCode = 0;
    QList<QPair<QByteArray, QByteArray>> m_responseHeaders;
    QByteArray m_data;
    qint64 m_receivedBytes = 0;
    qint64 m_expectedLength = -1;
    qint64 m_maximumBodyLength = 0; // 0: the default for where the body goes
    qint64 m_expectedBodyLength = -1;
    QByteArray m_expectedMD5;
    std::unique_ptr<QCryptographicHash> m_md5;
    qint64 m_timeLimit = 0;
    quint64 m_generation = 0;
    QVariantMap m_properties;
    GTMHTTPFetcherPtr m_self;
};

} // namespace tavrel

Q_DECLARE_METATYPE(tavrel::GTMHTTPFetcherPtr)
