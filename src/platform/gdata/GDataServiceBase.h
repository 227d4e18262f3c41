#pragma once

#include "platform/gdata/GDataAuthorizer.h"
#include "platform/gdata/GDataEntryBase.h"
#include "platform/gdata/GDataFeedBase.h"
#include "platform/gdata/GDataObjectFactory.h"
#include "platform/gdata/GDataQuery.h"
#include "platform/gdata/GDataServiceTicket.h"

#include <QNetworkRequest>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <mutex>

namespace tavrel {

// A client of one feed service. Calls start on the calling thread, which must run an event loop (worker
// threads of the operation queues do), and call back on it, never from inside the call, with (ticket,
// feed or entry, error). A call that cannot start answers a null ticket. HTTP failures are errors of
// kGDataServiceErrorDomain with the status as code and the body in the user info (kGDataServerErrorStringKey,
// kGDataHTTPStatusDataKey); an answer that is not a well-formed feed or entry is an error with no object.
// Settings are read when a call starts; one service may be used from several threads at once.
class GDataServiceBase
{
public:
    using Completion = std::function<void(const GDataServiceTicketPtr& ticket, const GDataObjectPtr& object,
                                          const Error& error)>;
    using UploadProgressHandler = GDataServiceTicket::UploadProgressHandler;

    static const QByteArray kServiceVersion; // "3", sent as GData-Version

    GDataServiceBase();
    // Cancels the calls still running: their callbacks are not called.
    virtual ~GDataServiceBase();
    GDataServiceBase(const GDataServiceBase&) = delete;
    GDataServiceBase& operator=(const GDataServiceBase&) = delete;

    void setAuthorizer(std::shared_ptr<GDataAuthorizer> authorizer);
    std::shared_ptr<GDataAuthorizer> authorizer() const;
    void setShouldCacheResponseData(bool flag);
    bool shouldCacheResponseData() const;
    void setServiceShouldFollowNextLinks(bool flag);
    bool serviceShouldFollowNextLinks() const;
    void setIsServiceRetryEnabled(bool flag);
    bool isServiceRetryEnabled() const;
    // First retry delay in seconds (doubled per retry) and its cap.
    void setServiceRetryBaseInterval(double seconds);
    void setServiceMaxRetryInterval(double seconds);
    void setServiceUploadProgressHandler(UploadProgressHandler handler);
    void setServiceUploadChunkSize(qint64 bytes);
    qint64 serviceUploadChunkSize() const;

    // The seven calls.
    GDataServiceTicketPtr fetchFeedWithURL(const QUrl& feedURL, Completion completion);
    GDataServiceTicketPtr fetchFeedWithQuery(const GDataQuery& query, Completion completion);
    GDataServiceTicketPtr fetchEntryWithURL(const QUrl& entryURL, Completion completion);
    // An entry with upload data is sent by the resumable protocol to `feedURL` (a create-session address).
    GDataServiceTicketPtr fetchEntryByInsertingEntry(const GDataEntryPtr& entry, const QUrl& feedURL,
                                                     Completion completion);
    // Sent with If-Match: the entry's ETag ("*" overwrites any version). With upload data, `entryURL` is
    // the entry's resumable-edit address.
    GDataServiceTicketPtr fetchEntryByUpdatingEntry(const GDataEntryPtr& entry, const QUrl& entryURL,
                                                    Completion completion);
    GDataServiceTicketPtr deleteResourceURL(const QUrl& resourceURL, const QString& ETag,
                                            Completion completion);
    GDataServiceTicketPtr fetchFeedWithBatchFeed(const GDataFeedPtr& batchFeed, const QUrl& batchURL,
                                                 Completion completion);

    // The same calls with a delegate and the name of an invokable method taking
    // (tavrel::GDataServiceTicketPtr, tavrel::GDataObjectPtr, tavrel::Error); a delegate that is gone by
    // then is not called.
    GDataServiceTicketPtr fetchFeedWithURL(const QUrl& feedURL, QObject* delegate, const char* selector);
    GDataServiceTicketPtr fetchFeedWithQuery(const GDataQuery& query, QObject* delegate,
                                             const char* selector);
    GDataServiceTicketPtr fetchEntryWithURL(const QUrl& entryURL, QObject* delegate, const char* selector);
    GDataServiceTicketPtr fetchEntryByInsertingEntry(const GDataEntryPtr& entry, const QUrl& feedURL,
                                                     QObject* delegate, const char* selector);
    GDataServiceTicketPtr fetchEntryByUpdatingEntry(const GDataEntryPtr& entry, const QUrl& entryURL,
                                                    QObject* delegate, const char* selector);
    GDataServiceTicketPtr deleteResourceURL(const QUrl& resourceURL, const QString& ETag, QObject* delegate,
                                            const char* selector);
    GDataServiceTicketPtr fetchFeedWithBatchFeed(const GDataFeedPtr& batchFeed, const QUrl& batchURL,
                                                 QObject* delegate, const char* selector);
    static Completion completionForDelegate(QObject* delegate, const char* selector);

    // A request for a plain fetch (downloads, photos): the service's headers, If-Match when an ETag is
    // given, and the method ("GET" when empty; kept in the request attribute QNetworkRequest::User, which
    // fetcherWithRequest() reads).
    QNetworkRequest requestForURL(const QUrl& url, const QString& ETag = {},
                                  const QString& httpMethod = {}) const;
    // A fetcher for such a request, with the service's authorizer and retry settings.
    GTMHTTPFetcherPtr fetcherWithRequest(const QNetworkRequest& request) const;

protected:
    // What the parser assumes when an answer does not name its kind.
    virtual GDataObjectFactory::FeedHint defaultFeedHint() const
    {
        return GDataObjectFactory::FeedHint::None;
    }

private:
    enum class Kind { FetchFeed, FetchEntry, Insert, Update, Delete, Batch };
    struct Settings
    {
        std::shared_ptr<GDataAuthorizer> authorizer;
        bool cacheResponses = false;
        bool followNextLinks = true;
        bool retryEnabled = true;
        double retryBaseInterval = 1.0;
        double maxRetryInterval = 60.0;
        int maxRetryCount = 5;
        qint64 chunkSize = 1024 * 1024;
        int transferTimeout = 120;
        UploadProgressHandler uploadProgress;
    };
    struct CachedAnswer
    {
        QByteArray ETag;
        QByteArray body;
    };

    Settings settings() const;
    // Keeps a GET answer with its ETag for revalidation, within the cache's bounds.
    void rememberAnswer(const QString& url, const QByteArray& ETag, const QByteArray& body);
    GDataServiceTicketPtr startTicket(Kind kind, const QUrl& url, const GDataObjectPtr& object,
                                      const QString& ETag, Completion completion);
    // False when the request could not start.
    bool sendRequest(const GDataServiceTicketPtr& ticket, Kind kind, const QUrl& url,
                     const QByteArray& method, const QByteArray& body, const QString& ETag,
                     const Settings& settings);
    void startUpload(const GDataServiceTicketPtr& ticket, Kind kind, const QUrl& url,
                     const GDataEntryPtr& entry, const Settings& settings);
    void handleAnswer(const GDataServiceTicketPtr& ticket, Kind kind, const QUrl& url, const QByteArray& data,
                      const Error& error, const Settings& settings);
    // One page of a feed whose ticket takes its pages one by one.
    void deliverPage(const GDataServiceTicketPtr& ticket, const GDataFeedPtr& page, const QUrl& nextURL,
                     const GDataLink& next, const Settings& settings);
    void deliver(const GDataServiceTicketPtr& ticket, const GDataObjectPtr& object, const Error& error);
    static Error serviceError(const Error& error);

    mutable std::mutex m_mutex;
    Settings m_settings;
    QHash<QString, CachedAnswer> m_cache;
    qsizetype m_cachedBytes = 0;
    std::vector<std::weak_ptr<GDataServiceTicket>>
        m_tickets; // running calls, cancelled when the service goes
};

} // namespace tavrel
