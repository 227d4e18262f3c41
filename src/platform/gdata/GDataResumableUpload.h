#pragma once

#include "platform/gdata/GTMHTTPFetcher.h"

#include <QIODevice>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace tavrel {

// The resumable upload protocol: the metadata entry goes to the create-session (POST) or resumable-edit
// (PUT) address with X-Upload-Content-Type and -Length, the service answers the session address in
// Location, and the bytes follow in PUT chunks carrying Content-Range. 308 with Range says how much the
// service holds; after a dropped connection or a 5xx answer the client asks with "Content-Range: bytes */N"
// and resumes from the service's Range. The final 200 or 201 carries the entry. Progress never goes back.
// An empty file has no bytes to send: the service answers the session request itself with 201 and the
// entry, which ends the upload.
class GDataResumableUpload : public std::enable_shared_from_this<GDataResumableUpload>
{
public:
    struct Settings
    {
        QUrl sessionURL;            // create-session or resumable-edit address, with query
        QByteArray method = "POST"; // POST to create, PUT to update
        QByteArray metadata;        // the entry as XML
        QString ETag;               // If-Match of the session request (updates)
        QString MIMEType;
        QString slug;
        QByteArray data;                   // the bytes, unless `device` is given
        std::shared_ptr<QIODevice> device; // a readable, seekable source
        qint64 chunkSize = 1024 * 1024;
        std::shared_ptr<GDataAuthorizer> authorizer;
        bool retryEnabled = true;
        int maxRetryCount = 5;
        double retryBaseInterval = 1.0;
        double maxRetryInterval = 60.0;
        QList<QPair<QByteArray, QByteArray>> extraHeaders; // GData-Version ...
    };
    // status and body of the final answer, or the error.
    using Completion = std::function<void(int status, const QByteArray& body, const Error& error)>;
    using Progress = std::function<void(qint64 sent, qint64 total)>;

    explicit GDataResumableUpload(Settings settings);
    ~GDataResumableUpload();

    // Starts on the calling thread; false when the source is unusable (no size, not readable).
    bool start(Completion completion, Progress progress, Error* error);
    void cancel(); // from any thread; no completion follows
    qint64 total() const { return m_total; }

    // How many bytes the service holds by the Range of a 308 answer ("bytes=0-N"; none without one), or
    // nothing when the Range cannot be read or says as much as the whole upload or more.
    static std::optional<qint64> bytesHeldFromRange(const QByteArray& range, qint64 total);
    // How many 308 answers to chunks in a row may leave the service holding no more than before.
    static constexpr int kMaximumRoundsWithoutProgress = 3;

private:
    GTMHTTPFetcherPtr makeFetcher(const QUrl& url, const QByteArray& method);
    void startSession();
    void sendChunk(qint64 offset);
    void queryStatus();
    void retryLater();
    bool handleIncomplete(const GTMHTTPFetcherPtr& fetcher, bool answeredChunk);
    void finish(int status, const QByteArray& body, const Error& error);
    QByteArray readChunk(qint64 offset, qint64 length, Error* error);
    void reportProgress(qint64 sent);

    Settings m_settings;
    Completion m_completion;
    Progress m_progress;
    qint64 m_total = 0;
    qint64 m_reported = 0;
    int m_failures = 0;
    qint64 m_mostHeld = 0; // the most the service said it holds
    int m_roundsWithoutProgress = 0;
    QUrl m_location;
    bool m_running = false;
    std::atomic<bool> m_cancelled{false};
    std::mutex m_mutex;
    GTMHTTPFetcherPtr m_fetcher;
    QPointer<QObject> m_context; // the starting thread's network access manager

    std::shared_ptr<GDataResumableUpload> m_self;
};

} // namespace tavrel
