#include "platform/gdata/GDataServiceBase.h"

#include "platform/gdata/GDataConstants.h"
#include "platform/gdata/GDataFeedACL.h"
#include "platform/gdata/GDataFeedContact.h"
#include "platform/gdata/GDataFeedDocList.h"
#include "platform/gdata/GDataResumableUpload.h"

#include <QPointer>
#include <optional>

namespace tavrel {

const QByteArray GDataServiceBase::kServiceVersion = "3";

namespace {
constexpr int kMaxCachedAnswers = 64;
constexpr qsizetype kMaxCachedBody = 8 * 1024 * 1024;
constexpr qsizetype kMaxCachedBytes = 16 * 1024 * 1024;

Error unusableNextPageError()
{
    return Error(kGDataServiceErrorDomain, kGDataServiceErrorParse,
                 {{Error::kLocalizedDescriptionKey, QStringLiteral("The next page address is unusable.")}});
}
} // namespace

GDataServiceBase::GDataServiceBase() = default;
GDataServiceBase::~GDataServiceBase()
{
    std::vector<std::weak_ptr<GDataServiceTicket>> tickets;
    {
        std::lock_guard lock(m_mutex);
        tickets.swap(m_tickets);
    }
    for (const auto& weak : tickets) {
        if (auto ticket = weak.lock())
            ticket->cancelTicket();
    }
}

#define TAVREL_SETTING(setter, getter, type, member)                                                         \
    void GDataServiceBase::setter(type value)                                                                \
    {                                                                                                        \
        std::lock_guard lock(m_mutex);                                                                       \
        m_settings.member = value;                                                                           \
    }                                                                                                        \
    type GDataServiceBase::getter() const                                                                    \
    {                                                                                                        \
        std::lock_guard lock(m_mutex);                                                                       \
        return m_settings.member;                                                                            \
    }

TAVREL_SETTING(setShouldCacheResponseData, shouldCacheResponseData, bool, cacheResponses)
TAVREL_SETTING(setServiceShouldFollowNextLinks, serviceShouldFollowNextLinks, bool, followNextLinks)
TAVREL_SETTING(setIsServiceRetryEnabled, isServiceRetryEnabled, bool, retryEnabled)
TAVREL_SETTING(setServiceUploadChunkSize, serviceUploadChunkSize, qint64, chunkSize)
#undef TAVREL_SETTING

void GDataServiceBase::setAuthorizer(std::shared_ptr<GDataAuthorizer> authorizer)
{
    std::lock_guard lock(m_mutex);
    m_settings.authorizer = std::move(authorizer);
}

std::shared_ptr<GDataAuthorizer> GDataServiceBase::authorizer() const
{
    std::lock_guard lock(m_mutex);
    return m_settings.authorizer;
}

void GDataServiceBase::setServiceRetryBaseInterval(double seconds)
{
    std::lock_guard lock(m_mutex);
    m_settings.retryBaseInterval = std::max(0.0, seconds);
}

void GDataServiceBase::setServiceMaxRetryInterval(double seconds)
{
    std::lock_guard lock(m_mutex);
    m_settings.maxRetryInterval = std::max(0.0, seconds);
}

void GDataServiceBase::setServiceUploadProgressHandler(UploadProgressHandler handler)
{
    std::lock_guard lock(m_mutex);
    m_settings.uploadProgress = std::move(handler);
}

GDataServiceBase::Settings GDataServiceBase::settings() const
{
    std::lock_guard lock(m_mutex);
    return m_settings;
}

GDataServiceBase::Completion GDataServiceBase::completionForDelegate(QObject* delegate, const char* selector)
{
    QPointer<QObject> target(delegate);
    const QByteArray method(selector ? selector : "");
    return [target, method](const GDataServiceTicketPtr& ticket, const GDataObjectPtr& object,
                            const Error& error) {
        if (target && !method.isEmpty())
            QMetaObject::invokeMethod(target, method.constData(), Qt::DirectConnection,
                                      Q_ARG(tavrel::GDataServiceTicketPtr, ticket),
                                      Q_ARG(tavrel::GDataObjectPtr, object), Q_ARG(tavrel::Error, error));
    };
}

// ---- the calls

GDataServiceTicketPtr GDataServiceBase::fetchFeedWithURL(const QUrl& feedURL, Completion completion)
{
    return startTicket(Kind::FetchFeed, feedURL, nullptr, {}, std::move(completion));
}

GDataServiceTicketPtr GDataServiceBase::fetchFeedWithQuery(const GDataQuery& query, Completion completion)
{
    return startTicket(Kind::FetchFeed, query.URL(), nullptr, {}, std::move(completion));
}

GDataServiceTicketPtr GDataServiceBase::fetchEntryWithURL(const QUrl& entryURL, Completion completion)
{
    return startTicket(Kind::FetchEntry, entryURL, nullptr, {}, std::move(completion));
}

GDataServiceTicketPtr GDataServiceBase::fetchEntryByInsertingEntry(const GDataEntryPtr& entry,
                                                                   const QUrl& feedURL, Completion completion)
{
    if (!entry)
        return nullptr;
    return startTicket(Kind::Insert, feedURL, entry, {}, std::move(completion));
}

GDataServiceTicketPtr GDataServiceBase::fetchEntryByUpdatingEntry(const GDataEntryPtr& entry,
                                                                  const QUrl& entryURL, Completion completion)
{
    if (!entry)
        return nullptr;
    return startTicket(Kind::Update, entryURL, entry, entry->ETag(), std::move(completion));
}

GDataServiceTicketPtr GDataServiceBase::deleteResourceURL(const QUrl& resourceURL, const QString& ETag,
                                                          Completion completion)
{
    return startTicket(Kind::Delete, resourceURL, nullptr, ETag, std::move(completion));
}

GDataServiceTicketPtr GDataServiceBase::fetchFeedWithBatchFeed(const GDataFeedPtr& batchFeed,
                                                               const QUrl& batchURL, Completion completion)
{
    if (!batchFeed)
        return nullptr;
    return startTicket(Kind::Batch, batchURL, batchFeed, {}, std::move(completion));
}

GDataServiceTicketPtr GDataServiceBase::fetchFeedWithURL(const QUrl& feedURL, QObject* delegate,
                                                         const char* selector)
{
    return fetchFeedWithURL(feedURL, completionForDelegate(delegate, selector));
}

GDataServiceTicketPtr GDataServiceBase::fetchFeedWithQuery(const GDataQuery& query, QObject* delegate,
                                                           const char* selector)
{
    return fetchFeedWithQuery(query, completionForDelegate(delegate, selector));
}

GDataServiceTicketPtr GDataServiceBase::fetchEntryWithURL(const QUrl& entryURL, QObject* delegate,
                                                          const char* selector)
{
    return fetchEntryWithURL(entryURL, completionForDelegate(delegate, selector));
}

GDataServiceTicketPtr GDataServiceBase::fetchEntryByInsertingEntry(const GDataEntryPtr& entry,
                                                                   const QUrl& feedURL, QObject* delegate,
                                                                   const char* selector)
{
    return fetchEntryByInsertingEntry(entry, feedURL, completionForDelegate(delegate, selector));
}

GDataServiceTicketPtr GDataServiceBase::fetchEntryByUpdatingEntry(const GDataEntryPtr& entry,
                                                                  const QUrl& entryURL, QObject* delegate,
                                                                  const char* selector)
{
    return fetchEntryByUpdatingEntry(entry, entryURL, completionForDelegate(delegate, selector));
}

GDataServiceTicketPtr GDataServiceBase::deleteResourceURL(const QUrl& resourceURL, const QString& ETag,
                                                          QObject* delegate, const char* selector)
{
    return deleteResourceURL(resourceURL, ETag, completionForDelegate(delegate, selector));
}

GDataServiceTicketPtr GDataServiceBase::fetchFeedWithBatchFeed(const GDataFeedPtr& batchFeed,
                                                               const QUrl& batchURL, QObject* delegate,
                                                               const char* selector)
{
    return fetchFeedWithBatchFeed(batchFeed, batchURL, completionForDelegate(delegate, selector));
}

// ---- requests

QNetworkRequest GDataServiceBase::requestForURL(const QUrl& url, const QString& ETag,
                                                const QString& httpMethod) const
{
    QNetworkRequest request(url);
    request.setRawHeader("GData-Version", kServiceVersion);
    if (!ETag.isEmpty())
        request.setRawHeader("If-Match", ETag.toUtf8());
    request.setAttribute(QNetworkRequest::User, httpMethod.isEmpty() ? QStringLiteral("GET") : httpMethod);
    return request;
}

GTMHTTPFetcherPtr GDataServiceBase::fetcherWithRequest(const QNetworkRequest& request) const
{
    const Settings s = settings();
    GTMHTTPFetcherPtr fetcher = GTMHTTPFetcher::fetcherWithRequest(request);
    const QString method = request.attribute(QNetworkRequest::User).toString();
    if (!method.isEmpty())
        fetcher->setHTTPMethod(method.toUtf8());
    fetcher->setAuthorizer(s.authorizer);
    fetcher->setRetryEnabled(s.retryEnabled);
    fetcher->setRetryBaseInterval(s.retryBaseInterval);
    fetcher->setMaxRetryInterval(s.maxRetryInterval);
    fetcher->setMaxRetryCount(s.maxRetryCount);
    fetcher->setTransferTimeout(s.transferTimeout);
    fetcher->setFollowsRedirects(true);
    return fetcher;
}

GDataServiceTicketPtr GDataServiceBase::startTicket(Kind kind, const QUrl& url, const GDataObjectPtr& object,
                                                    const QString& ETag, Completion completion)
{
    if (!url.isValid() || url.scheme().isEmpty() || url.host().isEmpty())
        return nullptr;
    const Settings s = settings();
    GDataServiceTicketPtr ticket(new GDataServiceTicket(this));
    ticket->m_completion = std::move(completion);
    ticket->m_followNextLinks = s.followNextLinks;
    ticket->m_postedObject = object;
    ticket->m_serviceUploadProgress = s.uploadProgress;
    {
        std::lock_guard lock(m_mutex);
        std::erase_if(m_tickets, [](const std::weak_ptr<GDataServiceTicket>& t) { return t.expired(); });
        m_tickets.push_back(ticket);
    }

    auto entry = std::dynamic_pointer_cast<GDataEntryBase>(object);
    bool started = true;
    switch (kind) {
    case Kind::FetchFeed:
    case Kind::FetchEntry:
        started = sendRequest(ticket, kind, url, "GET", {}, {}, s);
        break;
    case Kind::Insert:
        if (entry->hasUploadData())
            startUpload(ticket, kind, url, entry, s);
        else
            started = sendRequest(ticket, kind, url, "POST", entry->XMLData(), {}, s);
        break;
    case Kind::Update:
        if (entry->hasUploadData())
            startUpload(ticket, kind, url, entry, s);
        else
            started = sendRequest(ticket, kind, url, "PUT", entry->XMLData(), ETag, s);
        break;
    case Kind::Delete:
        started = sendRequest(ticket, kind, url, "DELETE", {}, ETag, s);
        break;
    case Kind::Batch:
        started = sendRequest(ticket, kind, url, "POST", object->XMLData(), {}, s);
        break;
    }
    if (!started)
        ticket->m_cancelled = true;
    if (ticket->m_cancelled && !ticket->m_fetcher && !ticket->m_upload)
        return nullptr; // could not start
    return ticket;
}

void GDataServiceBase::rememberAnswer(const QString& url, const QByteArray& ETag, const QByteArray& body)
{
    std::lock_guard lock(m_mutex);
    if (auto it = m_cache.find(url); it != m_cache.end()) {
        m_cachedBytes -= it->body.size();
        m_cache.erase(it);
    }
    if (ETag.isEmpty() || body.size() > kMaxCachedBody)
        return;
    while (!m_cache.isEmpty() &&
           (m_cache.size() >= kMaxCachedAnswers || m_cachedBytes + body.size() > kMaxCachedBytes)) {
        m_cachedBytes -= m_cache.begin()->body.size();
        m_cache.erase(m_cache.begin());
    }
    m_cache.insert(url, CachedAnswer{ETag, body});
    m_cachedBytes += body.size();
}

bool GDataServiceBase::sendRequest(const GDataServiceTicketPtr& ticket, Kind kind, const QUrl& url,
                                   const QByteArray& method, const QByteArray& body, const QString& ETag,
                                   const Settings& s)
{
    QNetworkRequest request = requestForURL(url, ETag, QString::fromLatin1(method));
    if (!body.isEmpty())
        request.setRawHeader("Content-Type", "application/atom+xml; charset=UTF-8");
    const bool cacheable = s.cacheResponses && method == "GET";
    if (cacheable) {
        std::lock_guard lock(m_mutex);
        auto it = m_cache.constFind(url.toString());
        if (it != m_cache.constEnd())
            request.setRawHeader("If-None-Match", it->ETag);
    }
    GTMHTTPFetcherPtr fetcher = fetcherWithRequest(request);
    fetcher->setFollowsRedirects(false);
    fetcher->setPostData(body);
    {
        std::lock_guard lock(ticket->m_mutex);
        ticket->m_fetcher = fetcher;
    }
    auto sent = [ticket, bodySize = body.size(), kind](const GTMHTTPFetcherPtr&, qint64 bytes, qint64 total) {
        if (kind == Kind::Insert || kind == Kind::Update)
            ticket->reportUploadProgress(quint64(bytes), quint64(total > 0 ? total : bodySize));
    };
    fetcher->setSentDataHandler(sent);
    const bool started = fetcher->beginFetchWithCompletionHandler(
        [this, ticket, kind, url, s, cacheable](const GTMHTTPFetcherPtr& f, const QByteArray& data,
                                                const Error& error) {
            ticket->m_statusCode = f->statusCode();
            if (cacheable && error && f->statusCode() == 304) {
                std::optional<QByteArray> cached;
                {
                    std::lock_guard lock(m_mutex);
                    auto it = m_cache.constFind(url.toString());
                    if (it != m_cache.constEnd())
                        cached = it->body;
                }
                if (cached) {
                    handleAnswer(ticket, kind, url, *cached, Error(), s);
                    return;
                }
            }
            // Pages taken one by one are never wanted whole again: a long feed would fill the cache.
            if (cacheable && !error && !ticket->m_feedPageHandler)
                rememberAnswer(url.toString(), f->responseHeader("ETag"), data);
            handleAnswer(ticket, kind, url, data, error, s);
        });
    if (!started) {
        std::lock_guard lock(ticket->m_mutex);
        ticket->m_fetcher.reset();
    }
    return started;
}

void GDataServiceBase::startUpload(const GDataServiceTicketPtr& ticket, Kind kind, const QUrl& url,
                                   const GDataEntryPtr& entry, const Settings& s)
{
    GDataResumableUpload::Settings upload;
    upload.sessionURL = url;
    upload.method = kind == Kind::Insert ? "POST" : "PUT";
    upload.metadata = entry->XMLData();
    upload.ETag = kind == Kind::Update ? entry->ETag() : QString();
    upload.MIMEType = entry->uploadMIMEType().isEmpty() ? QStringLiteral("application/octet-stream")
                                                        : entry->uploadMIMEType();
    upload.slug = entry->uploadSlug();
    upload.data = entry->uploadData();
    upload.device = entry->uploadFileHandle();
    upload.chunkSize = s.chunkSize;
    upload.authorizer = s.authorizer;
    upload.retryEnabled = s.retryEnabled;
    upload.maxRetryCount = s.maxRetryCount;
    upload.retryBaseInterval = s.retryBaseInterval;
    upload.maxRetryInterval = s.maxRetryInterval;
    upload.extraHeaders = {{"GData-Version", kServiceVersion}};
    auto uploader = std::make_shared<GDataResumableUpload>(upload);
    {
        std::lock_guard lock(ticket->m_mutex);
        ticket->m_upload = uploader;
    }
    Error error;
    const bool started = uploader->start(
        [this, ticket, kind, url, s](int status, const QByteArray& body, const Error& failure) {
            ticket->m_statusCode = status;
            handleAnswer(ticket, kind, url, body, failure, s);
        },
        [ticket](qint64 sent, qint64 total) { ticket->reportUploadProgress(quint64(sent), quint64(total)); },
        &error);
    if (!started) {
        std::lock_guard lock(ticket->m_mutex);
        ticket->m_upload.reset();
        ticket->m_cancelled = true;
    }
}

Error GDataServiceBase::serviceError(const Error& error)
{
    if (error.domain() != kGTMHTTPFetcherStatusDomain)
        return error;
    return Error(kGDataServiceErrorDomain, error.code(), error.userInfo());
}

void GDataServiceBase::handleAnswer(const GDataServiceTicketPtr& ticket, Kind kind, const QUrl& url,
                                    const QByteArray& data, const Error& error, const Settings& s)
{
    if (ticket->m_cancelled)
        return;
    if (error) {
        deliver(ticket, nullptr, serviceError(error));
        return;
    }
    if (kind == Kind::Delete) {
        deliver(ticket, nullptr, Error());
        return;
    }

    GDataObjectFactory::FeedHint hint = GDataObjectFactory::hintForURL(url, defaultFeedHint());
    if (kind == Kind::Batch) {
        if (std::dynamic_pointer_cast<GDataFeedACL>(ticket->m_postedObject))
            hint = GDataObjectFactory::FeedHint::ACL;
        else if (std::dynamic_pointer_cast<GDataFeedContact>(ticket->m_postedObject))
            hint = GDataObjectFactory::FeedHint::Contacts;
        else if (std::dynamic_pointer_cast<GDataFeedDocList>(ticket->m_postedObject))
            hint = GDataObjectFactory::FeedHint::Documents;
    }
    Error parseError;
    GDataObjectPtr object = GDataObjectFactory::objectWithXMLData(data, &parseError, hint);
    if (!object) {
        deliver(ticket, nullptr, parseError);
        return;
    }
    auto page = std::dynamic_pointer_cast<GDataFeedBase>(object);
    const bool wantsFeed = kind == Kind::FetchFeed || kind == Kind::Batch;
    if (wantsFeed != bool(page)) {
        deliver(ticket, nullptr,
                Error(kGDataServiceErrorDomain, kGDataServiceErrorParse,
                      {{Error::kLocalizedDescriptionKey,
                        wantsFeed
                            ? QStringLiteral("The service answered an entry where a feed was expected.")
                            : QStringLiteral("The service answered a feed where an entry was expected.")}}));
        return;
    }

    if (kind == Kind::FetchFeed) {
        ++ticket->m_pageCount;
        ticket->m_pagesFetched.insert(url);
        const GDataLink next = page->nextLink();
        // A next link back to a page already fetched would loop for ever.
        QUrl nextURL = next.isNull() ? QUrl() : url.resolved(next.URL());
        if (!ticket->m_followNextLinks || !nextURL.isValid() || nextURL.host().isEmpty() ||
            ticket->m_pagesFetched.contains(nextURL))
            nextURL = QUrl();
        object.reset();
        if (ticket->m_feedPageHandler) {
            deliverPage(ticket, std::move(page), nextURL, next, s);
            return;
        }
        auto accumulated = std::dynamic_pointer_cast<GDataFeedBase>(ticket->m_fetchedObject);
        if (accumulated)
            accumulated->appendEntriesOfFeed(*page);
        else
            accumulated = page;
        accumulated->removeLinksWithRel(kGDataLinkRelNext);
        ticket->m_fetchedObject = accumulated;
        if (!nextURL.isEmpty()) {
            if (!sendRequest(ticket, kind, nextURL, "GET", {}, {}, s))
                deliver(ticket, nullptr, unusableNextPageError());
            return;
        }
        if (!next.isNull())
            accumulated->addLink(next); // not followed: the caller sees where the feed goes on
        deliver(ticket, accumulated, Error());
        return;
    }
    deliver(ticket, object, Error());
}

void GDataServiceBase::deliverPage(const GDataServiceTicketPtr& ticket, const GDataFeedPtr& page,
                                   const QUrl& nextURL, const GDataLink& next, const Settings& s)
{
    auto head = std::dynamic_pointer_cast<GDataFeedBase>(ticket->m_fetchedObject);
    if (!head) {
        head = page->copyWithoutEntries();
        head->removeLinksWithRel(kGDataLinkRelNext);
        ticket->m_fetchedObject = head;
    }
    const bool last = nextURL.isEmpty();
    if (!last && !sendRequest(ticket, Kind::FetchFeed, nextURL, "GET", {}, {}, s)) {
        deliver(ticket, nullptr, unusableNextPageError());
        return;
    }
    // The page is taken after the next request has gone out (both are posted, in order), so the
    // service prepares the next page meanwhile.
    QMetaObject::invokeMethod(
        GTMHTTPFetcher::threadNetworkAccessManager(),
        [this, ticket, page, head, last, next] {
            if (ticket->m_cancelled)
                return;
            const Error stop = ticket->m_feedPageHandler(ticket, page);
            if (ticket->m_cancelled)
                return;
            if (!stop.isNull()) {
                GTMHTTPFetcherPtr running;
                {
                    std::lock_guard lock(ticket->m_mutex);
                    running = ticket->m_fetcher;
                }
                if (running)
                    running->stopFetching();
                deliver(ticket, nullptr, stop);
                return;
            }
            if (!last)
                return;
            if (!next.isNull())
                head->addLink(next); // not followed: the caller sees where the feed goes on
            deliver(ticket, head, Error());
        },
        Qt::QueuedConnection);
}

void GDataServiceBase::deliver(const GDataServiceTicketPtr& ticket, const GDataObjectPtr& object,
                               const Error& error)
{
    {
        std::lock_guard lock(ticket->m_mutex);
        ticket->m_fetcher.reset();
        ticket->m_upload.reset();
    }
    if (ticket->m_cancelled)
        return;
    ticket->m_fetchedObject = object;
    ticket->m_calledCallback = true;
    Completion completion = std::move(ticket->m_completion);
    ticket->m_completion = nullptr;
    if (completion)
        completion(ticket, object, error);
}

} // namespace tavrel
