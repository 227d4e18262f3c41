#pragma once

#include "platform/gdata/GDataObject.h"
#include "platform/gdata/GTMHTTPFetcher.h"

#include <QSet>
#include <QUrl>
#include <QVariantMap>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace tavrel {

class GDataFeedBase;
class GDataServiceBase;
class GDataServiceTicket;
class GDataResumableUpload;
using GDataServiceTicketPtr = std::shared_ptr<GDataServiceTicket>;

// One service call in flight: it carries the caller's named properties until the callback, can be
// cancelled (no callback follows), and tells the HTTP status of the last answer.
class GDataServiceTicket : public std::enable_shared_from_this<GDataServiceTicket>
{
public:
    using UploadProgressHandler =
        std::function<void(const GDataServiceTicketPtr& ticket, quint64 sent, quint64 total)>;
    using FeedPageHandler =
        std::function<Error(const GDataServiceTicketPtr& ticket, const std::shared_ptr<GDataFeedBase>& page)>;

    ~GDataServiceTicket();

    GDataServiceBase* service() const { return m_service; }

    void setProperty(const QString& key, const QVariant& value);
    QVariant propertyForKey(const QString& key) const;
    QVariantMap properties() const;

    // Stops the call; its callback is not called. Safe from any thread.
    void cancelTicket();
    bool isCancelled() const { return m_cancelled; }
    bool hasCalledCallback() const { return m_calledCallback; }

    // Following next links can be switched per ticket (the service's setting is the default).
    void setShouldFollowNextLinks(bool follow) { m_followNextLinks = follow; }

    // Takes the pages of a feed one by one, on the calling thread, instead of joining them into one feed:
    // the next page is already asked for while the handler has a page, and the page is let go when the
    // handler returns, so a long feed never sits in memory whole. The callback then gets the first
    // page's feed without entries. An error from the handler ends the call with that error.
    void setFeedPageHandler(FeedPageHandler handler) { m_feedPageHandler = std::move(handler); }

    // Called with the bytes sent so far (never decreasing) and the total, besides the service's handler.
    void setUploadProgressHandler(UploadProgressHandler handler) { m_uploadProgress = std::move(handler); }

    int statusCode() const { return m_statusCode; }
    // Number of pages fetched into the answer.
    int pageCount() const { return m_pageCount; }

private:
    friend class GDataServiceBase;
    explicit GDataServiceTicket(GDataServiceBase* service) : m_service(service) {}
    void reportUploadProgress(quint64 sent, quint64 total);

    GDataServiceBase* m_service = nullptr;
    mutable std::mutex m_mutex;
    QVariantMap m_properties;
    std::atomic<bool> m_cancelled{false};
    bool m_calledCallback = false;
    bool m_followNextLinks = true;
    int m_statusCode = 0;
    int m_pageCount = 0;
    QSet<QUrl> m_pagesFetched;
    quint64 m_uploadReported = 0;
    UploadProgressHandler m_uploadProgress;
    UploadProgressHandler m_serviceUploadProgress;
    FeedPageHandler m_feedPageHandler;
    GDataObjectPtr m_postedObject;
    GDataObjectPtr m_fetchedObject;
    GTMHTTPFetcherPtr m_fetcher;
    std::shared_ptr<GDataResumableUpload> m_upload;
    std::function<void(const GDataServiceTicketPtr&, const GDataObjectPtr&, const Error&)> m_completion;
};

} // namespace tavrel

Q_DECLARE_METATYPE(tavrel::GDataServiceTicketPtr)
