#include "GDataServiceFixture.h"
#include "platform/gdata/GDataConstants.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataEntryACL.h"
#include "platform/gdata/GDataEntryContact.h"
#include "platform/gdata/GDataEntryDocListMetadata.h"
#include "platform/gdata/GDataEntryFileDoc.h"
#include "platform/gdata/GDataEntryPDFDoc.h"
#include "platform/gdata/GDataEntryStandardDoc.h"
#include "platform/gdata/GDataFeedACL.h"
#include "platform/gdata/GDataFeedContact.h"
#include "platform/gdata/GDataFeedDocChange.h"
#include "platform/gdata/GDataFeedDocList.h"
#include "platform/gdata/GDataQueryContact.h"
#include "platform/gdata/GDataQueryDocs.h"
#include "platform/gdata/GDataResumableUpload.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QThread>

using namespace tavrel;
using namespace tavrel::test;
using localservice::Fault;

namespace {

template <class T> std::shared_ptr<T> as(const GDataObjectPtr& object)
{
    return std::dynamic_pointer_cast<T>(object);
}

} // namespace

class GDataService : public GDataServiceFixture
{
protected:
    // The first document of the account as the service has it now.
    GDataEntryDocPtr fetchDocument(const QString& resourceID)
    {
        Answer answer;
        EXPECT_TRUE(m_docs.fetchEntryWithURL(GDataEndpoints::docsEntryURL(resourceID), recorder(answer)));
        EXPECT_TRUE(wait(answer));
        EXPECT_TRUE(answer.error.isNull()) << answer.error.description().toStdString();
        return as<GDataEntryDocBase>(answer.object);
    }
    QString firstDocumentID() const
    {
        for (const QString& id : m_local.documentIds()) {
            if (id.startsWith(QLatin1String("document:")))
                return id;
        }
        return {};
    }
};

TEST_F(GDataService, FetchesFeedsEntriesMetadataAndChanges)
{
    GDataQueryDocs query = GDataQueryDocs::documentQueryWithFeedURL(GDataEndpoints::docsExpandACLFeedURL());
    query.setShouldShowFolders(true);
    query.setShouldShowDeleted(true);
    query.setMaxResults(100);
    Answer feedAnswer;
    auto ticket = m_docs.fetchFeedWithQuery(query, recorder(feedAnswer));
    ASSERT_TRUE(ticket);
    ticket->setProperty(QStringLiteral("invocation"), QStringLiteral("kept until the callback"));
    EXPECT_FALSE(feedAnswer.done) << "never called from inside the call";
    ASSERT_TRUE(wait(feedAnswer));
    ASSERT_TRUE(feedAnswer.error.isNull()) << feedAnswer.error.description().toStdString();
    EXPECT_EQ(feedAnswer.ticket, ticket);
    EXPECT_EQ(feedAnswer.ticket->propertyForKey(QStringLiteral("invocation")).toString(),
              QStringLiteral("kept until the callback"));
    EXPECT_EQ(feedAnswer.ticket->statusCode(), 200);
    auto feed = as<GDataFeedDocList>(feedAnswer.object);
    ASSERT_TRUE(feed);
    EXPECT_EQ(feed->entryCount(), 14) << "12 documents and 2 collections";
    EXPECT_FALSE(feed->batchLink().isNull());
    int withInlineACL = 0;
    for (const auto& entry : feed->entries()) {
        auto doc = as<GDataEntryDocBase>(entry);
        ASSERT_TRUE(doc);
        if (doc->ACLFeedLink() && doc->ACLFeedLink()->feed())
            ++withInlineACL;
    }
    EXPECT_EQ(withInlineACL, 14);

    const localservice::JournalEntry request = journal().last();
    EXPECT_EQ(request.method, QStringLiteral("GET"));
    EXPECT_EQ(request.headers.value(QStringLiteral("gdata-version")), QStringLiteral("3"));
    EXPECT_EQ(request.headers.value(QStringLiteral("authorization")),
              QStringLiteral("Bearer ") + m_authorizer->accessToken());
    EXPECT_EQ(request.query.value(QStringLiteral("showfolders")), QStringLiteral("true"));

    Answer metadata;
    ASSERT_TRUE(m_docs.fetchEntryWithURL(
        GDataServiceGoogleDocs::metadataEntryURLForUserID(QStringLiteral("default")), recorder(metadata)));
    ASSERT_TRUE(wait(metadata));
    auto meta = as<GDataEntryDocListMetadata>(metadata.object);
    ASSERT_TRUE(meta) << metadata.error.description().toStdString();
    EXPECT_EQ(meta->largestChangestamp(), m_local.largestChangestamp());

    const qint64 before = m_local.largestChangestamp();
    const QString added = m_local.addDocument(QStringLiteral("Shared by a colleague"));
    ASSERT_TRUE(m_local.deleteDocument(firstDocumentID()));
    GDataQueryDocs changes = GDataQueryDocs::documentQueryWithFeedURL(
        GDataServiceGoogleDocs::changesFeedURLForUserID(QStringLiteral("default")));
    changes.setStartIndex(before + 1);
    changes.addCustomParameterWithName(QStringLiteral("expand-acl"), QStringLiteral("true"));
    Answer changeAnswer;
    ASSERT_TRUE(m_docs.fetchFeedWithQuery(changes, recorder(changeAnswer)));
    ASSERT_TRUE(wait(changeAnswer));
    auto changeFeed = as<GDataFeedDocList>(changeAnswer.object);
    ASSERT_TRUE(changeFeed) << changeAnswer.error.description().toStdString();
    EXPECT_EQ(changeFeed->largestChangestamp(), m_local.largestChangestamp());
    int removed = 0;
    bool sawAdded = false;
    for (const auto& entry : changeFeed->entries()) {
        auto doc = as<GDataEntryDocBase>(entry);
        ASSERT_TRUE(doc);
        EXPECT_GT(doc->changestamp().value_or(0), before);
        removed += doc->isRemoved();
        sawAdded |= doc->resourceID() == added;
    }
    EXPECT_EQ(removed, 1);
    EXPECT_TRUE(sawAdded);
}

TEST_F(GDataService, InsertsUpdatesDeletesAndSendsBatches)
{
    // Insert.
    auto created = GDataEntryStandardDoc::documentEntry();
    created->setTitleWithString(QStringLiteral("Plan for Q3"));
    Answer insert;
    ASSERT_TRUE(m_docs.fetchEntryByInsertingEntry(created, GDataEndpoints::docsFeedURL(), recorder(insert)));
    ASSERT_TRUE(wait(insert));
    ASSERT_TRUE(insert.error.isNull()) << insert.error.description().toStdString();
    auto entry = as<GDataEntryStandardDoc>(insert.object);
    ASSERT_TRUE(entry);
    EXPECT_EQ(insert.ticket->statusCode(), 201);
    EXPECT_EQ(entry->title(), QStringLiteral("Plan for Q3"));
    EXPECT_TRUE(entry->resourceID().startsWith(QLatin1String("document:")));
    EXPECT_EQ(m_local.documentTitle(entry->resourceID()), QStringLiteral("Plan for Q3"));

    // Update with the entry's own ETag, through the expandAcl edit address.
    entry->setTitleWithString(QStringLiteral("Plan for Q4"));
    Answer update;
    const QUrl editURL =
        GDataEndpoints::docsEntryURL(entry->resourceID(), kGDataGoogleDocsProjectionExpandACL);
    ASSERT_TRUE(m_docs.fetchEntryByUpdatingEntry(entry, editURL, recorder(update)));
    ASSERT_TRUE(wait(update));
    ASSERT_TRUE(update.error.isNull()) << update.error.description().toStdString();
    auto updated = as<GDataEntryDocBase>(update.object);
    ASSERT_TRUE(updated);
    EXPECT_EQ(updated->title(), QStringLiteral("Plan for Q4"));
    EXPECT_NE(updated->ETag(), entry->ETag());
    EXPECT_TRUE(updated->ACLFeedLink() && updated->ACLFeedLink()->feed());
    EXPECT_EQ(journal().last().headers.value(QStringLiteral("if-match")), entry->ETag());

    // Batch: a query that succeeds, a delete without identifier, an update with a stale ETag.
    auto batch = GDataFeedDocList::documentFeed();
    auto query = GDataEntryDocBase::documentEntry();
    query->setIdentifier(updated->linkWithRelAttributeValue(QStringLiteral("self")).href()); // its address
    query->setBatchIDWithString(QStringLiteral("1"));
    query->setBatchOperation(kGDataBatchOperationQuery);
    batch->addEntry(*query);
    auto nameless = GDataEntryDocBase::documentEntry();
    nameless->setBatchIDWithString(QStringLiteral("2"));
    nameless->setBatchOperation(kGDataBatchOperationDelete);
    batch->addEntry(*nameless);
    auto stale = updated->copyAs<GDataEntryDocBase>();
    stale->setETag(entry->ETag());
    stale->setBatchIDWithString(QStringLiteral("3"));
    stale->setBatchOperation(kGDataBatchOperationUpdate);
    batch->addEntry(*stale);
    Answer batchAnswer;
    ASSERT_TRUE(m_docs.fetchFeedWithBatchFeed(batch, GDataEndpoints::docsBatchURL(), recorder(batchAnswer)));
    ASSERT_TRUE(wait(batchAnswer));
    ASSERT_TRUE(batchAnswer.error.isNull()) << batchAnswer.error.description().toStdString();
    auto answered = as<GDataFeedDocList>(batchAnswer.object);
    ASSERT_TRUE(answered);
    QMap<QString, int> codes;
    for (const auto& e : answered->entries())
        codes.insert(e->batchIDString(), e->batchStatus() ? e->batchStatus()->code() : -1);
    EXPECT_EQ(codes, (QMap<QString, int>{{"1", 200}, {"2", 400}, {"3", 412}}));
    EXPECT_TRUE(journal().last().body.contains("xmlns:batch=\"http://schemas.google.com/gdata/batch\""));

    // Delete with the current ETag: the document goes to the trash.
    Answer remove;
    ASSERT_TRUE(m_docs.deleteResourceURL(GDataEndpoints::docsEntryURL(updated->resourceID()), updated->ETag(),
                                         recorder(remove)));
    ASSERT_TRUE(wait(remove));
    EXPECT_TRUE(remove.error.isNull()) << remove.error.description().toStdString();
    EXPECT_FALSE(remove.object);
    EXPECT_EQ(journal().last().headers.value(QStringLiteral("if-match")), updated->ETag());
    auto trashed = fetchDocument(updated->resourceID());
    ASSERT_TRUE(trashed);
    EXPECT_TRUE(trashed->isDeleted());
}

TEST_F(GDataService, StaleETagFailsWith412AndStarOverwrites)
{
    auto doc = fetchDocument(firstDocumentID());
    ASSERT_TRUE(doc);
    ASSERT_TRUE(m_local.renameDocument(doc->resourceID(), QStringLiteral("Renamed elsewhere")));

    doc->setTitleWithString(QStringLiteral("Mine"));
    Answer stale;
    ASSERT_TRUE(m_docs.fetchEntryByUpdatingEntry(doc, GDataEndpoints::docsEntryURL(doc->resourceID()),
                                                 recorder(stale)));
    ASSERT_TRUE(wait(stale));
    EXPECT_FALSE(stale.object);
    EXPECT_EQ(stale.error.domain(), kGDataServiceErrorDomain);
    EXPECT_EQ(stale.error.code(), 412);
    EXPECT_FALSE(stale.error.userInfo().value(kGDataServerErrorStringKey).toString().isEmpty());
    EXPECT_EQ(m_local.documentTitle(doc->resourceID()), QStringLiteral("Renamed elsewhere"));

    doc->setETag(QStringLiteral("*"));
    Answer forced;
    ASSERT_TRUE(m_docs.fetchEntryByUpdatingEntry(doc, GDataEndpoints::docsEntryURL(doc->resourceID()),
                                                 recorder(forced)));
    ASSERT_TRUE(wait(forced));
    EXPECT_TRUE(forced.error.isNull()) << forced.error.description().toStdString();
    EXPECT_EQ(m_local.documentTitle(doc->resourceID()), QStringLiteral("Mine"));
    EXPECT_EQ(journal().last().headers.value(QStringLiteral("if-match")), QStringLiteral("*"));
}

TEST_F(GDataService, AccessListEntryWithKeyAndAdditionalRole)
{
    auto doc = fetchDocument(firstDocumentID());
    ASSERT_TRUE(doc && doc->ACLFeedLink());
    auto rule = GDataEntryACL::ACLEntryWithScope(GDataACLScope(QStringLiteral("default"), QString()),
                                                 GDataACLRole(QStringLiteral("none")));
    rule->setKeyedRole(
        GDataACLKeyedRole(QStringLiteral("with link"), GDataACLRole(QStringLiteral("reader"))));
    rule->setAdditionalRoles({GDataACLAdditionalRole(QStringLiteral("commenter"))});
    rule->addNamespaces(GDataEntryACL::ACLNamespaces());
    Answer insert;
    ASSERT_TRUE(m_docs.fetchEntryByInsertingEntry(rule, doc->ACLFeedLink()->URL(), recorder(insert)));
    ASSERT_TRUE(wait(insert));
    ASSERT_TRUE(insert.error.isNull()) << insert.error.description().toStdString();
    auto answered = as<GDataEntryACL>(insert.object);
    ASSERT_TRUE(answered);
    EXPECT_EQ(answered->scope()->type(), QStringLiteral("default"));
    ASSERT_TRUE(answered->keyedRole());
    EXPECT_FALSE(answered->keyedRole()->key().isEmpty());
    EXPECT_EQ(answered->keyedRole()->role().value(), QStringLiteral("reader"));

    Answer list;
    ASSERT_TRUE(m_docs.fetchFeedWithURL(doc->ACLFeedLink()->URL(), recorder(list)));
    ASSERT_TRUE(wait(list));
    auto acl = as<GDataFeedACL>(list.object);
    ASSERT_TRUE(acl) << list.error.description().toStdString();
    bool found = false;
    for (const auto& e : acl->entries()) {
        auto a = as<GDataEntryACL>(e);
        if (a->scope() && a->scope()->type() == QLatin1String("default")) {
            found = true;
            ASSERT_TRUE(a->keyedRole());
            QStringList roles;
            for (const auto& r : a->additionalRoles())
                roles << r.value();
            const GDataACLKeyedRole keyed = *a->keyedRole();
            for (const auto& r : keyed.additionalRoles())
                roles << r.value();
            EXPECT_TRUE(roles.contains(QStringLiteral("commenter")));
        }
    }
    EXPECT_TRUE(found);
}

TEST_F(GDataService, PagesAreFollowedIntoOneFeedUnlessSwitchedOff)
{
    generate(1200);
    GDataQueryDocs query = GDataQueryDocs::documentQueryWithFeedURL(GDataEndpoints::docsFeedURL());
    query.setMaxResults(500);
    query.setShouldShowDeleted(true);
    m_local.clearJournal();
    Answer all;
    ASSERT_TRUE(m_docs.fetchFeedWithQuery(query, recorder(all)));
    ASSERT_TRUE(wait(all, 60000));
    auto feed = as<GDataFeedDocList>(all.object);
    ASSERT_TRUE(feed) << all.error.description().toStdString();
    EXPECT_EQ(feed->entryCount(), 1200);
    EXPECT_TRUE(feed->nextLink().isNull());
    EXPECT_EQ(all.ticket->pageCount(), 3);
    QSet<QString> ids;
    for (const auto& entry : feed->entries())
        ids.insert(as<GDataEntryDocBase>(entry)->resourceID());
    EXPECT_EQ(ids.size(), 1200);
    EXPECT_EQ(journal().size(), 3);

    // One page when the ticket says so.
    Answer first;
    auto ticket = m_docs.fetchFeedWithQuery(query, recorder(first));
    ASSERT_TRUE(ticket);
    ticket->setShouldFollowNextLinks(false);
    ASSERT_TRUE(wait(first, 60000));
    auto page = as<GDataFeedDocList>(first.object);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->entryCount(), 500);
    EXPECT_FALSE(page->nextLink().isNull());
}

TEST_F(GDataService, PagesGoOneByOneToAPageHandlerWhileTheNextIsFetched)
{
    generate(1200);
    GDataQueryDocs query = GDataQueryDocs::documentQueryWithFeedURL(GDataEndpoints::docsFeedURL());
    query.setMaxResults(500);
    query.setShouldShowDeleted(true);
    struct Row
    {
        const char* name;
        int stopAtPage; // the handler answers an error on this page; 0: never
        int pages;      // pages the handler sees
        int requests;   // pages asked for
    };
    const Row rows[] = {
        {"every page", 0, 3, 3},
        {"stopped on the second", 2, 2, 3},
        {"stopped on the last", 3, 3, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_local.clearJournal();
        Answer answer;
        QList<qsizetype> sizes;
        QSet<QString> ids;
        int askedAhead = 0;
        auto ticket = m_docs.fetchFeedWithQuery(query, recorder(answer));
        ASSERT_TRUE(ticket);
        ticket->setFeedPageHandler([&](const GDataServiceTicketPtr&, const GDataFeedPtr& page) {
            sizes.append(page->entryCount());
            for (const auto& entry : page->entries())
                ids.insert(as<GDataEntryDocBase>(entry)->resourceID());
            // The request for the next page goes out while this one is taken (the service runs on
            // its own threads, this thread's events wait).
            if (!page->nextLink().isNull()) {
                QDeadlineTimer deadline(10000);
                while (journal().size() <= sizes.size() && !deadline.hasExpired())
                    QThread::yieldCurrentThread();
                if (journal().size() > sizes.size())
                    ++askedAhead;
            }
            return sizes.size() == row.stopAtPage
                       ? Error(QStringLiteral("test"), 7, {{Error::kLocalizedDescriptionKey, "enough"}})
                       : Error();
        });
        ASSERT_TRUE(wait(answer, 60000));
        EXPECT_EQ(answer.calls, 1);
        EXPECT_EQ(sizes.size(), row.pages);
        EXPECT_EQ(askedAhead, std::min(row.pages, 2));
        // Nothing follows an error from the handler; the call ends with it.
        QCoreApplication::processEvents();
        EXPECT_EQ(journal().size(), row.requests);
        EXPECT_EQ(sizes.size(), row.pages);
        if (row.stopAtPage) {
            EXPECT_EQ(answer.error.code(), 7);
            EXPECT_FALSE(answer.object);
            continue;
        }
        EXPECT_EQ(sizes, (QList<qsizetype>{500, 500, 200}));
        EXPECT_EQ(ids.size(), 1200);
        // The answer is the feed itself: its tag and links, none of the entries.
        auto feed = as<GDataFeedDocList>(answer.object);
        ASSERT_TRUE(feed) << answer.error.description().toStdString();
        EXPECT_EQ(feed->entryCount(), 0);
        EXPECT_FALSE(feed->ETag().isEmpty());
        EXPECT_TRUE(feed->nextLink().isNull());
        EXPECT_FALSE(feed->postLink().isNull());
        EXPECT_EQ(answer.ticket->pageCount(), 3);
    }
}

TEST_F(GDataService, TransientFailuresAreRetriedAndOthersAreNot)
{
    struct Row
    {
        const char* name;
        Fault fault;
        bool succeeds;
        int requests;
        qint64 errorCode;
    };
    const QString feedPath = QStringLiteral("^/feeds/default/private/full$");
    auto fault = [&](Fault::Kind kind, int status, int count) {
        Fault f;
        f.kind = kind;
        f.method = QStringLiteral("GET");
        f.pathPattern = feedPath;
        f.status = status;
        f.count = count;
        return f;
    };
    const QList<Row> rows = {
        {"503 burst", fault(Fault::Status, 503, 3), true, 4, 0},
        {"500 then fine", fault(Fault::Status, 500, 1), true, 2, 0},
        {"404 is final", fault(Fault::Status, 404, 1), false, 1, 404},
        {"403 is final", fault(Fault::Status, 403, 1), false, 1, 403},
        {"malformed body", fault(Fault::MalformedBody, 200, 1), false, 1, kGDataServiceErrorParse},
        {"503 beyond the retries", fault(Fault::Status, 503, 10), false, 6, 503},
    };
    for (const Row& row : rows) {
        m_local.clearFaults();
        m_local.clearJournal();
        m_local.addFault(row.fault);
        Answer answer;
        ASSERT_TRUE(m_docs.fetchFeedWithURL(GDataEndpoints::docsFeedURL(), recorder(answer))) << row.name;
        ASSERT_TRUE(wait(answer)) << row.name;
        EXPECT_EQ(answer.calls, 1) << row.name;
        EXPECT_EQ(bool(answer.object), row.succeeds) << row.name;
        EXPECT_EQ(answer.error.isNull(), row.succeeds) << row.name;
        if (!row.succeeds) {
            EXPECT_EQ(answer.error.domain(), kGDataServiceErrorDomain) << row.name;
            EXPECT_EQ(answer.error.code(), row.errorCode) << row.name;
        }
        EXPECT_EQ(journal().size(), row.requests) << row.name;
    }
}

TEST_F(GDataService, ExpiredTokenIsRefreshedOnceAndTheRequestReplayed)
{
    Answer warmUp;
    ASSERT_TRUE(m_docs.fetchEntryWithURL(GDataEndpoints::docsMetadataEntryURL(), recorder(warmUp)));
    ASSERT_TRUE(wait(warmUp));
    const int refreshes = m_authorizer->refreshCount();
    m_local.expireAccessTokens();
    m_local.clearJournal();

    Answer answer;
    ASSERT_TRUE(m_docs.fetchFeedWithURL(GDataEndpoints::docsFeedURL(), recorder(answer)));
    ASSERT_TRUE(wait(answer));
    EXPECT_TRUE(answer.error.isNull()) << answer.error.description().toStdString();
    EXPECT_TRUE(answer.object);
    EXPECT_EQ(m_authorizer->refreshCount(), refreshes + 1);
    const auto requests = journal();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[0].status, 401);
    EXPECT_EQ(requests[1].status, 200);

    // A 401 that a fresh token does not cure is reported, after one refresh only.
    Fault denied;
    denied.kind = Fault::Status;
    denied.status = 401;
    denied.count = 5;
    denied.pathPattern = QStringLiteral("^/feeds/");
    m_local.addFault(denied);
    Answer refused;
    ASSERT_TRUE(m_docs.fetchFeedWithURL(GDataEndpoints::docsFeedURL(), recorder(refused)));
    ASSERT_TRUE(wait(refused));
    EXPECT_EQ(refused.error.domain(), kGDataServiceErrorDomain);
    EXPECT_EQ(refused.error.code(), 401);
    EXPECT_EQ(m_authorizer->refreshCount(), refreshes + 2);
}

TEST_F(GDataService, ResumableUploadSurvivesADroppedConnectionAndServerErrors)
{
    QByteArray content(5 * 1024 * 1024, Qt::Uninitialized);
    for (int i = 0; i < content.size(); ++i)
        content[i] = char((i * 7919) >> 3);
    const qint64 dropAt = 2 * 1024 * 1024;
    m_docs.setServiceUploadChunkSize(8 * 1024 * 1024);

    struct Row
    {
        const char* name;
        Fault::Kind kind;
        int status;
        bool mustAskForStatus; // after a 503 nothing says what the service kept; after a drop the service may
                               // still have answered 308 with its Range before closing
        qint64 resent;         // bytes the service lacked after the failure
    };
    const QList<Row> rows = {
        {"connection dropped at 2 MiB", Fault::DropAfterBytes, 0, false, content.size() - dropAt},
        {"503 on the chunk", Fault::Status, 503, true, content.size()},
    };
    for (const Row& row : rows) {
        auto entry = GDataEntryPDFDoc::documentEntry();
        entry->setTitleWithString(QStringLiteral("big scan.pdf"));
        auto buffer = std::make_shared<QBuffer>();
        buffer->setData(content);
        entry->setUploadFileHandle(buffer);
        entry->setUploadMIMEType(QStringLiteral("application/pdf"));
        entry->setUploadSlug(QStringLiteral("big scan.pdf"));

        QList<quint64> progress;
        m_docs.setServiceUploadProgressHandler(
            [&](const GDataServiceTicketPtr&, quint64 sent, quint64 total) {
                EXPECT_EQ(total, quint64(content.size()));
                progress << sent;
            });
        Fault fault;
        fault.kind = row.kind;
        fault.status = row.status;
        fault.method = QStringLiteral("PUT");
        fault.pathPattern = QStringLiteral("^/feeds/upload/");
        fault.bytes = dropAt;
        m_local.clearFaults();
        m_local.addFault(fault);
        m_local.clearJournal();

        GDataQueryDocs target = GDataQueryDocs::documentQueryWithFeedURL(GDataEndpoints::docsUploadURL());
        target.setShouldConvertUpload(false);
        Answer upload;
        ASSERT_TRUE(m_docs.fetchEntryByInsertingEntry(entry, target.URL(), recorder(upload))) << row.name;
        ASSERT_TRUE(wait(upload, 60000)) << row.name;
        ASSERT_TRUE(upload.error.isNull()) << row.name << upload.error.description().toStdString();
        auto uploaded = as<GDataEntryDocBase>(upload.object);
        ASSERT_TRUE(uploaded) << row.name;
        EXPECT_EQ(uploaded->fileSize(), content.size()) << row.name;
        EXPECT_EQ(uploaded->md5Checksum(),
                  QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Md5).toHex()))
            << row.name;
        EXPECT_EQ(uploaded->title(), QStringLiteral("big scan.pdf")) << row.name;

        ASSERT_FALSE(progress.isEmpty()) << row.name;
        EXPECT_EQ(progress.last(), quint64(content.size())) << row.name;
        EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()))
            << row.name << ": progress never goes back";

        const auto requests = journal();
        ASSERT_GE(requests.size(), 3) << row.name;
        EXPECT_EQ(requests[0].method, QStringLiteral("POST")) << row.name;
        EXPECT_EQ(requests[0].headers.value(QStringLiteral("x-upload-content-length")),
                  QString::number(content.size()))
            << row.name;
        EXPECT_EQ(requests[0].headers.value(QStringLiteral("x-upload-content-type")),
                  QStringLiteral("application/pdf"))
            << row.name;
        EXPECT_EQ(requests[0].query.value(QStringLiteral("convert")), QStringLiteral("false")) << row.name;
        EXPECT_EQ(requests[1].status, row.status) << row.name << ": the failed chunk";
        EXPECT_EQ(requests.last().status, 201) << row.name;
        bool askedForStatus = false;
        qint64 resent = 0;
        for (int i = 2; i < requests.size(); ++i) {
            askedForStatus |= requests[i].headers.value(QStringLiteral("content-range")) ==
                              QStringLiteral("bytes */%1").arg(content.size());
            if (requests[i].method == QLatin1String("PUT"))
                resent += requests[i].bodySize;
        }
        if (row.mustAskForStatus) {
            EXPECT_TRUE(askedForStatus) << row.name;
        }
        // When the connection closes before the answer is read, the network layer may send the whole chunk
        // once more by itself; the service skips what it holds. Never more than that.
        EXPECT_GE(resent, row.resent) << row.name;
        EXPECT_LE(resent, content.size()) << row.name << ": the chunk is sent again at most once";
    }
}

TEST_F(GDataService, AnUploadTheServiceKeepsAskingForAgainEndsWithAnError)
{
    // Every chunk is answered 308 with no Range: the service holds nothing, however often it is sent.
    Fault stuck;
    stuck.kind = Fault::Answer;
    stuck.method = QStringLiteral("PUT");
    stuck.pathPattern = QStringLiteral("^/feeds/upload/");
    stuck.status = 308;
    stuck.count = 1000;
    m_local.addFault(stuck);
    m_docs.setServiceUploadChunkSize(256 * 1024);

    auto entry = GDataEntryPDFDoc::documentEntry();
    entry->setTitleWithString(QStringLiteral("scan.pdf"));
    auto buffer = std::make_shared<QBuffer>();
    buffer->setData(QByteArray(1024 * 1024, 's'));
    entry->setUploadFileHandle(buffer);
    entry->setUploadMIMEType(QStringLiteral("application/pdf"));
    entry->setUploadSlug(QStringLiteral("scan.pdf"));
    Answer upload;
    ASSERT_TRUE(m_docs.fetchEntryByInsertingEntry(entry, GDataEndpoints::docsUploadURL(), recorder(upload)));
    ASSERT_TRUE(wait(upload, 60000));
    EXPECT_EQ(upload.error.domain(), kGDataServiceErrorDomain);
    EXPECT_EQ(upload.error.code(), kGDataServiceErrorUpload) << upload.error.description().toStdString();
    int puts = 0;
    for (const auto& request : journal())
        puts += request.method == QLatin1String("PUT") ? 1 : 0;
    EXPECT_LE(puts, 1 + GDataResumableUpload::kMaximumRoundsWithoutProgress);
}

TEST_F(GDataService, AnEmptyFileEndsWithTheSessionAnswersEntryAndMoreDataMayNot)
{
    auto upload = [&](const QByteArray& data, Answer& answer) {
        auto entry = GDataEntryFileDoc::documentEntry();
        entry->setTitleWithString(QStringLiteral("empty.bin"));
        entry->setUploadData(data);
        entry->setUploadMIMEType(QStringLiteral("application/octet-stream"));
        entry->setUploadSlug(QStringLiteral("empty.bin"));
        return m_docs.fetchEntryByInsertingEntry(entry, GDataEndpoints::docsUploadURL(), recorder(answer));
    };
    m_local.clearJournal();
    Answer empty;
    ASSERT_TRUE(upload({}, empty));
    ASSERT_TRUE(wait(empty));
    ASSERT_TRUE(empty.error.isNull()) << empty.error.description().toStdString();
    const auto created = as<GDataEntryDocBase>(empty.object);
    ASSERT_TRUE(created);
    EXPECT_EQ(created->title(), QStringLiteral("empty.bin"));
    ASSERT_EQ(journal().size(), 1) << "no chunk follows the answer";
    EXPECT_EQ(journal().first().status, 201);

    // An entry answered before the bytes of a file that has some is no upload.
    Fault early;
    early.kind = Fault::Answer;
    early.method = QStringLiteral("POST");
    early.pathPattern = QStringLiteral("^/feeds/upload/");
    early.status = 201;
    early.headers = {{"Content-Type", "application/atom+xml; charset=UTF-8; type=entry"}};
    early.body = "<?xml version='1.0' encoding='UTF-8'?><entry xmlns='http://www.w3.org/2005/Atom'>"
                 "<id>x</id><title>early</title></entry>";
    m_local.addFault(early);
    Answer some;
    ASSERT_TRUE(upload("bytes", some));
    ASSERT_TRUE(wait(some));
    EXPECT_EQ(some.error.code(), kGDataServiceErrorUpload) << some.error.description().toStdString();
}

TEST_F(GDataService, ChunkedUploadUpdatesAnEntryWithANewRevision)
{
    auto doc = fetchDocument(firstDocumentID());
    ASSERT_TRUE(doc);
    const QByteArray content(700 * 1024, 'r');
    doc->setUploadData(content);
    doc->setUploadMIMEType(QStringLiteral("text/plain"));
    doc->setUploadSlug(QStringLiteral("notes.txt"));
    doc->setETag(QStringLiteral("*"));
    m_docs.setServiceUploadChunkSize(256 * 1024);
    m_local.clearJournal();
    GDataQueryDocs target = GDataQueryDocs::documentQueryWithFeedURL(doc->uploadEditLink().URL());
    target.setShouldCreateNewRevision(true);
    Answer answer;
    QList<quint64> progress;
    auto ticket = m_docs.fetchEntryByUpdatingEntry(doc, target.URL(), recorder(answer));
    ASSERT_TRUE(ticket);
    ticket->setUploadProgressHandler(
        [&](const GDataServiceTicketPtr&, quint64 sent, quint64) { progress << sent; });
    ASSERT_TRUE(wait(answer));
    ASSERT_TRUE(answer.error.isNull()) << answer.error.description().toStdString();
    EXPECT_TRUE(as<GDataEntryDocBase>(answer.object));
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.last(), quint64(content.size()));
    int chunks = 0;
    for (const auto& request : journal())
        chunks += request.method == QLatin1String("PUT") &&
                  request.path.startsWith(QLatin1String("/feeds/upload/")) &&
                  request.query.contains(QStringLiteral("upload_id"));
    EXPECT_EQ(chunks, 3);
    EXPECT_EQ(journal().first().headers.value(QStringLiteral("if-match")), QStringLiteral("*"));
    EXPECT_EQ(journal().first().query.value(QStringLiteral("new-revision")), QStringLiteral("true"));
}

TEST_F(GDataService, ContactsFeedInsertAndBatch)
{
    GDataQueryContact query = GDataQueryContact::contactQueryWithFeedURL(
        GDataServiceGoogleContact::contactFeedURLForUserID(QStringLiteral("default")));
    query.setMaxResults(2147483647);
    Answer list;
    ASSERT_TRUE(m_contacts.fetchFeedWithQuery(query, recorder(list)));
    ASSERT_TRUE(wait(list));
    auto feed = as<GDataFeedContact>(list.object);
    ASSERT_TRUE(feed) << list.error.description().toStdString();
    EXPECT_EQ(feed->entryCount(), 5);
    for (const auto& entry : feed->entries()) {
        auto contact = as<GDataEntryContact>(entry);
        ASSERT_TRUE(contact);
        EXPECT_FALSE(contact->emailAddresses().isEmpty());
        EXPECT_FALSE(contact->photoLink().isNull());
    }

    auto person = GDataEntryContact::contactEntryWithFullNameString(QStringLiteral("Flora Nunes"));
    person->addEmailAddress(GDataEmail(QStringLiteral("flora@tavrel.test"), kGDataEmailWork, {}, true));
    Answer insert;
    ASSERT_TRUE(
        m_contacts.fetchEntryByInsertingEntry(person, GDataEndpoints::contactFeedURL(), recorder(insert)));
    ASSERT_TRUE(wait(insert));
    auto created = as<GDataEntryContact>(insert.object);
    ASSERT_TRUE(created) << insert.error.description().toStdString();
    EXPECT_EQ(created->primaryEmailAddress()->address(), QStringLiteral("flora@tavrel.test"));
    EXPECT_FALSE(created->ETag().isEmpty());

    auto batch = GDataFeedContact::contactFeed();
    auto query1 = GDataEntryContact::contactEntryWithFullNameString(QString());
    query1->setIdentifier(created->identifier());
    query1->setBatchIDWithString(QStringLiteral("q"));
    query1->setBatchOperation(kGDataBatchOperationQuery);
    batch->addEntry(*query1);
    auto bogus = GDataEntryContact::contactEntryWithFullNameString(QString());
    bogus->setIdentifier(QStringLiteral("nobody"));
    bogus->setBatchIDWithString(QStringLiteral("d"));
    bogus->setBatchOperation(kGDataBatchOperationDelete);
    batch->addEntry(*bogus);
    Answer batchAnswer;
    ASSERT_TRUE(
        m_contacts.fetchFeedWithBatchFeed(batch, GDataEndpoints::contactBatchURL(), recorder(batchAnswer)));
    ASSERT_TRUE(wait(batchAnswer));
    auto answered = as<GDataFeedContact>(batchAnswer.object);
    ASSERT_TRUE(answered) << batchAnswer.error.description().toStdString();
    QMap<QString, int> codes;
    for (const auto& e : answered->entries())
        codes.insert(e->batchIDString(), e->batchStatus()->code());
    EXPECT_EQ(codes.value(QStringLiteral("q")), 200);
    EXPECT_GE(codes.value(QStringLiteral("d")), 400);
}

TEST_F(GDataService, CallsThatCannotStartAnswerNoTicketAndCancelledCallsStaySilent)
{
    Answer never;
    EXPECT_FALSE(m_docs.fetchFeedWithURL(QUrl(), recorder(never)));
    EXPECT_FALSE(m_docs.fetchEntryWithURL(QUrl(QStringLiteral("not a url")), recorder(never)));
    EXPECT_FALSE(m_docs.fetchEntryByInsertingEntry(nullptr, GDataEndpoints::docsFeedURL(), recorder(never)));
    EXPECT_FALSE(m_docs.fetchFeedWithBatchFeed(nullptr, GDataEndpoints::docsBatchURL(), recorder(never)));

    Fault slow;
    slow.kind = Fault::Delay;
    slow.delayMs = 300;
    slow.pathPattern = QStringLiteral("^/feeds/default/private/full$");
    m_local.addFault(slow);
    Answer cancelled;
    auto ticket = m_docs.fetchFeedWithURL(GDataEndpoints::docsFeedURL(), recorder(cancelled));
    ASSERT_TRUE(ticket);
    ticket->cancelTicket();
    Answer later;
    ASSERT_TRUE(m_docs.fetchEntryWithURL(GDataEndpoints::docsMetadataEntryURL(), recorder(later)));
    ASSERT_TRUE(wait(later));
    EXPECT_FALSE(waitUntil([&] { return cancelled.done; }, 600));
    EXPECT_FALSE(never.done);
}

TEST_F(GDataService, AnUploadCancelledWhileSendingStaysSilentAndLeavesNoDocument)
{
    const QStringList before = m_local.documentIds();
    auto entry = GDataEntryPDFDoc::documentEntry();
    entry->setTitleWithString(QStringLiteral("never.pdf"));
    entry->setUploadData(QByteArray(3 * 1024 * 1024, 'c'));
    entry->setUploadMIMEType(QStringLiteral("application/pdf"));
    m_docs.setServiceUploadChunkSize(512 * 1024);
    Fault slow;
    slow.kind = Fault::Delay;
    slow.delayMs = 200;
    slow.method = QStringLiteral("PUT");
    slow.pathPattern = QStringLiteral("^/feeds/upload/");
    slow.count = 100;
    m_local.addFault(slow);
    Answer cancelled;
    auto ticket =
        m_docs.fetchEntryByInsertingEntry(entry, GDataEndpoints::docsUploadURL(), recorder(cancelled));
    ASSERT_TRUE(ticket);
    bool sawProgress = false;
    ticket->setUploadProgressHandler([&](const GDataServiceTicketPtr& t, quint64, quint64) {
        sawProgress = true;
        t->cancelTicket();
    });
    ASSERT_TRUE(waitUntil([&] { return sawProgress; }, 20000));
    m_local.clearFaults();
    Answer later;
    ASSERT_TRUE(m_docs.fetchEntryWithURL(GDataEndpoints::docsMetadataEntryURL(), recorder(later)));
    ASSERT_TRUE(wait(later));
    EXPECT_FALSE(waitUntil([&] { return cancelled.done; }, 500));
    EXPECT_EQ(m_local.documentIds(), before);
}

TEST_F(GDataService, OneServiceServesSeveralThreadsAtOnce)
{
    constexpr int kThreads = 3;
    constexpr int kCallsPerThread = 4;
    std::vector<std::unique_ptr<QThread>> threads;
    std::vector<QObject*> contexts;
    std::atomic<int> finished = 0;
    std::atomic<int> wrongThread = 0;
    std::atomic<int> failed = 0;
    for (int t = 0; t < kThreads; ++t) {
        threads.push_back(std::make_unique<QThread>());
        threads.back()->start();
        auto* context = new QObject;
        context->moveToThread(threads.back().get());
        contexts.push_back(context);
        QMetaObject::invokeMethod(context, [&] {
            const Qt::HANDLE starter = QThread::currentThreadId();
            for (int i = 0; i < kCallsPerThread; ++i) {
                m_docs.fetchFeedWithURL(GDataEndpoints::docsFeedURL(),
                                        [&, starter](const GDataServiceTicketPtr&,
                                                     const GDataObjectPtr& object, const Error& error) {
                                            wrongThread += QThread::currentThreadId() != starter;
                                            failed += !object || !error.isNull();
                                            ++finished;
                                        });
            }
        });
    }
    EXPECT_TRUE(waitUntil([&] { return finished == kThreads * kCallsPerThread; }, 30000));
    EXPECT_EQ(wrongThread, 0);
    EXPECT_EQ(failed, 0);
    for (int t = 0; t < kThreads; ++t) {
        contexts[t]->deleteLater();
        threads[t]->quit();
        threads[t]->wait();
    }
}

// A delegate in the way the service-side handlers are written: a QObject with an invokable finishing method.
class TicketDelegate : public QObject
{
    Q_OBJECT
public:
    int calls = 0;
    GDataObjectPtr object;
    Q_INVOKABLE void ticketFinished(tavrel::GDataServiceTicketPtr, tavrel::GDataObjectPtr result,
                                    tavrel::Error error)
    {
        ++calls;
        object = result;
        EXPECT_TRUE(error.isNull());
    }
};

TEST_F(GDataService, CallsBackOnTheStartingWorkerThreadAndThroughDelegates)
{
    QThread worker;
    worker.start();
    Answer answer;
    auto* context = new QObject;
    context->moveToThread(&worker);
    std::atomic<Qt::HANDLE> starter = nullptr;
    QMetaObject::invokeMethod(context, [&] {
        starter = QThread::currentThreadId();
        m_docs.fetchEntryWithURL(GDataEndpoints::docsMetadataEntryURL(), recorder(answer));
    });
    ASSERT_TRUE(wait(answer));
    EXPECT_TRUE(answer.object);
    EXPECT_EQ(answer.thread, starter.load());
    EXPECT_NE(answer.thread, QThread::currentThreadId());
    context->deleteLater();
    worker.quit();
    worker.wait();

    TicketDelegate delegate;
    ASSERT_TRUE(
        m_docs.fetchEntryWithURL(GDataEndpoints::docsMetadataEntryURL(), &delegate, "ticketFinished"));
    ASSERT_TRUE(waitUntil([&] { return delegate.calls == 1; }, 20000));
    EXPECT_TRUE(as<GDataEntryDocListMetadata>(delegate.object));

    // A delegate that is gone is not called.
    auto* gone = new TicketDelegate;
    ASSERT_TRUE(m_docs.fetchEntryWithURL(GDataEndpoints::docsMetadataEntryURL(), gone, "ticketFinished"));
    delete gone;
    Answer after;
    ASSERT_TRUE(m_docs.fetchEntryWithURL(GDataEndpoints::docsMetadataEntryURL(), recorder(after)));
    ASSERT_TRUE(wait(after));
}

#include "GDataServiceTest.moc"
