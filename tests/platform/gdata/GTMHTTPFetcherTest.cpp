#include "GDataServiceFixture.h"
#include "platform/gdata/GDataConstants.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataEntryContact.h"
#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/gdata/GDataEntryPDFDoc.h"
#include "platform/gdata/GDataFeedContact.h"
#include "platform/gdata/GDataObjectFactory.h"
#include "platform/gdata/GDataQueryDocs.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

using namespace tavrel;
using namespace tavrel::test;
using localservice::Fault;

class GTMHTTPFetcherTest : public GDataServiceFixture
{
protected:
    struct Download
    {
        bool done = false;
        QByteArray data;
        Error error;
        QList<qint64> progress;
        qint64 total = -2;
    };

    QString fileDocumentWithContent(const QByteArray& content)
    {
        const QString id = m_local.addDocument(QStringLiteral("payload.bin"), QStringLiteral("file"));
        EXPECT_TRUE(m_local.setDocumentContent(id, content));
        return id;
    }

    // The download address the service gives in the entry's content.
    QUrl contentURL(const QString& resourceID)
    {
        Answer answer;
        EXPECT_TRUE(m_docs.fetchEntryWithURL(GDataEndpoints::docsEntryURL(resourceID), recorder(answer)));
        EXPECT_TRUE(wait(answer));
        auto entry = std::dynamic_pointer_cast<GDataEntryDocBase>(answer.object);
        return entry ? entry->content().sourceURL() : QUrl();
    }

    void start(const GTMHTTPFetcherPtr& fetcher, Download& download)
    {
        fetcher->setReceivedDataHandler([&download](const GTMHTTPFetcherPtr&, qint64 bytes, qint64 total) {
            download.progress << bytes;
            download.total = total;
        });
        ASSERT_TRUE(fetcher->beginFetchWithCompletionHandler(
            [&download](const GTMHTTPFetcherPtr&, const QByteArray& data, const Error& error) {
                download.done = true;
                download.data = data;
                download.error = error;
            }));
        ASSERT_TRUE(waitUntil([&] { return download.done; }, 30000));
    }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
};

TEST_F(GTMHTTPFetcherTest, DownloadsToAFileWithByteProgress)
{
    QByteArray content(600 * 1024, Qt::Uninitialized);
    for (int i = 0; i < content.size(); ++i)
        content[i] = char(i % 251);
    const QUrl source = contentURL(fileDocumentWithContent(content));
    ASSERT_TRUE(source.isValid());

    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("sub/payload.bin"));
    auto fetcher = m_docs.fetcherWithRequest(m_docs.requestForURL(source));
    fetcher->setDestinationFileURL(QUrl::fromLocalFile(target));
    fetcher->setProperty(QStringLiteral("parameters"), QStringLiteral("carried"));
    Download download;
    start(fetcher, download);
    ASSERT_TRUE(download.error.isNull()) << download.error.description().toStdString();
    EXPECT_EQ(readFile(target), content);
    EXPECT_EQ(fetcher->statusCode(), 200);
    EXPECT_EQ(fetcher->propertyForKey(QStringLiteral("parameters")).toString(), QStringLiteral("carried"));
    ASSERT_FALSE(download.progress.isEmpty());
    EXPECT_TRUE(std::is_sorted(download.progress.begin(), download.progress.end()));
    EXPECT_EQ(download.progress.last(), content.size());
    EXPECT_EQ(download.total, content.size());
    EXPECT_EQ(journal().last().headers.value(QStringLiteral("authorization")),
              QStringLiteral("Bearer ") + m_authorizer->accessToken());
}

TEST_F(GTMHTTPFetcherTest, AnInterruptedDownloadLeavesThePreviousCopy)
{
    const QByteArray content(200 * 1024, 'n');
    const QUrl source = contentURL(fileDocumentWithContent(content));
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("payload.bin"));
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("previous copy");
    }
    Fault drop;
    drop.kind = Fault::DropAfterBytes;
    drop.method = QStringLiteral("GET");
    drop.pathPattern = QStringLiteral("^/feeds/download/");
    drop.bytes = 50 * 1024;

    // The network layer itself may resend a request on a closed connection: the fault outlasts that
    // without the fetcher's retries, and not with them.
    struct Row
    {
        const char* name;
        bool retry;
        int drops;
        bool succeeds;
    };
    for (const Row& row : {Row{"without retries", false, 10, false}, Row{"with retries", true, 4, true}}) {
        m_local.clearFaults();
        drop.count = row.drops;
        m_local.addFault(drop);
        auto fetcher = m_docs.fetcherWithRequest(m_docs.requestForURL(source));
        fetcher->setRetryEnabled(row.retry);
        fetcher->setDestinationFileURL(QUrl::fromLocalFile(target));
        Download download;
        start(fetcher, download);
        EXPECT_EQ(download.error.isNull(), row.succeeds) << row.name;
        if (row.succeeds) {
            EXPECT_EQ(readFile(target), content) << row.name;
        } else {
            EXPECT_EQ(download.error.domain(), kGTMHTTPFetcherErrorDomain) << row.name;
            EXPECT_EQ(readFile(target), QByteArray("previous copy")) << row.name;
        }
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("payload.bin")})
            << row.name;
    }
}

TEST_F(GTMHTTPFetcherTest, StatusErrorsAndPhotoRequests)
{
    auto missing =
        m_docs.fetcherWithRequest(m_docs.requestForURL(url(QStringLiteral("/feeds/download/files/nothing"))));
    Download notFound;
    start(missing, notFound);
    EXPECT_EQ(notFound.error.domain(), kGTMHTTPFetcherStatusDomain);
    EXPECT_EQ(notFound.error.code(), 404);
    EXPECT_EQ(journal().size(), 1) << "a 404 is not retried";

    // A contact photo: the request carries Accept image/*, the answer is the image.
    Answer contacts;
    ASSERT_TRUE(m_contacts.fetchFeedWithURL(GDataEndpoints::contactFeedURL(), recorder(contacts)));
    ASSERT_TRUE(wait(contacts));
    auto feed = std::dynamic_pointer_cast<GDataFeedContact>(contacts.object);
    ASSERT_TRUE(feed);
    auto contact = std::dynamic_pointer_cast<GDataEntryContact>(feed->entries().first());
    ASSERT_TRUE(contact);
    const GDataLink photo = contact->photoLink();
    ASSERT_FALSE(photo.isNull());

    // Adding a photo: PUT of the image with If-Match "*", answered with the photo entry.
    QNetworkRequest put = m_contacts.requestForURL(photo.URL(), QStringLiteral("*"), QStringLiteral("PUT"));
    put.setRawHeader("Content-Type", "image/png");
    auto upload = m_contacts.fetcherWithRequest(put);
    const QByteArray png = QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAAAAAA6fptVAAAACklEQVR4nGNgAAAAAgABSK+kcQAAAABJRU5ErkJggg==");
    upload->setPostData(png);
    Download added;
    start(upload, added);
    ASSERT_TRUE(added.error.isNull()) << added.error.description().toStdString();
    EXPECT_EQ(journal().last().method, QStringLiteral("PUT"));
    EXPECT_EQ(journal().last().headers.value(QStringLiteral("if-match")), QStringLiteral("*"));
    Error error;
    auto photoEntry =
        std::dynamic_pointer_cast<GDataEntryBase>(GDataObjectFactory::objectWithXMLData(added.data, &error));
    ASSERT_TRUE(photoEntry) << error.description().toStdString();
    EXPECT_FALSE(photoEntry->ETag().isEmpty());

    QNetworkRequest request = m_contacts.requestForURL(photo.URL());
    request.setRawHeader("Accept", "image/*");
    Download image;
    start(m_contacts.fetcherWithRequest(request), image);
    ASSERT_TRUE(image.error.isNull()) << image.error.description().toStdString();
    EXPECT_EQ(image.data, png);
    EXPECT_EQ(journal().last().headers.value(QStringLiteral("accept")), QStringLiteral("image/*"));
}

TEST_F(GTMHTTPFetcherTest, CachedAnswersAreRevalidatedWithTheirETag)
{
    m_docs.setShouldCacheResponseData(true);
    GDataQueryDocs query = GDataQueryDocs::documentQueryWithFeedURL(GDataEndpoints::docsFeedURL());
    for (int round = 0; round < 2; ++round) {
        Answer answer;
        ASSERT_TRUE(m_docs.fetchFeedWithQuery(query, recorder(answer)));
        ASSERT_TRUE(wait(answer));
        ASSERT_TRUE(answer.error.isNull()) << answer.error.description().toStdString();
        auto feed = std::dynamic_pointer_cast<GDataFeedBase>(answer.object);
        ASSERT_TRUE(feed);
        EXPECT_GT(feed->entryCount(), 0);
    }
    const auto requests = journal();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[1].status, 304);
    EXPECT_FALSE(requests[1].headers.value(QStringLiteral("if-none-match")).isEmpty());
}

TEST_F(GTMHTTPFetcherTest, TheTokenNeverFollowsARedirectOrAnUploadSessionToAnotherOrigin)
{
    // Another origin: the same host on another port.
    localservice::LocalService other;
    other.generate({});
    ASSERT_TRUE(other.start());
    const QByteArray content("the document's bytes");
    const QString id = fileDocumentWithContent(content);
    const QUrl source = contentURL(id);
    ASSERT_TRUE(source.isValid());

    const auto redirectTo = [&](const QString& location) {
        Fault redirect;
        redirect.kind = Fault::Answer;
        redirect.method = QStringLiteral("GET");
        redirect.pathPattern = QStringLiteral("^/feeds/download/");
        redirect.status = 302;
        redirect.headers = {{"Location", location.toUtf8()}};
        m_local.addFault(redirect);
    };

    // Within the service's own origin the token goes along, and the download arrives.
    m_local.clearJournal();
    redirectTo(source.toString());
    Download same;
    start(m_docs.fetcherWithRequest(m_docs.requestForURL(source)), same);
    ASSERT_TRUE(same.error.isNull()) << same.error.description().toStdString();
    EXPECT_EQ(same.data, content);
    ASSERT_EQ(journal().size(), 2);
    EXPECT_EQ(journal().at(1).headers.value(QStringLiteral("authorization")),
              QStringLiteral("Bearer ") + m_authorizer->accessToken());

    // Elsewhere it does not, whatever the other side answers.
    redirectTo(other.baseUrl() + QStringLiteral("/feeds/download/files/") + id);
    Download elsewhere;
    start(m_docs.fetcherWithRequest(m_docs.requestForURL(source)), elsewhere);
    EXPECT_FALSE(elsewhere.error.isNull());
    ASSERT_EQ(other.journal().size(), 1);
    EXPECT_FALSE(other.journal().first().headers.contains(QStringLiteral("authorization")));

    // An upload session whose address names another origin gets the bytes, never the token.
    other.clearJournal();
    Fault session;
    session.kind = Fault::Answer;
    session.method = QStringLiteral("POST");
    session.pathPattern = QStringLiteral("^/feeds/upload/create-session/");
    session.status = 200;
    session.headers = {
        {"Location", (other.baseUrl() + QStringLiteral("/feeds/upload/create-session/default/private/"
                                                       "full?upload_id=elsewhere"))
                         .toUtf8()}};
    m_local.addFault(session);
    auto entry = GDataEntryPDFDoc::documentEntry();
    entry->setTitleWithString(QStringLiteral("scan.pdf"));
    auto buffer = std::make_shared<QBuffer>();
    buffer->setData(QByteArray(4096, 'p'));
    entry->setUploadFileHandle(buffer);
    entry->setUploadMIMEType(QStringLiteral("application/pdf"));
    entry->setUploadSlug(QStringLiteral("scan.pdf"));
    Answer upload;
    ASSERT_TRUE(m_docs.fetchEntryByInsertingEntry(entry, GDataEndpoints::docsUploadURL(), recorder(upload)));
    ASSERT_TRUE(wait(upload));
    EXPECT_FALSE(upload.error.isNull());
    ASSERT_FALSE(other.journal().isEmpty());
    for (const auto& request : other.journal()) {
        EXPECT_EQ(request.method, QStringLiteral("PUT"));
        EXPECT_FALSE(request.headers.contains(QStringLiteral("authorization")));
    }
    other.stop();
}

TEST_F(GTMHTTPFetcherTest, AnswersThatAreNotWhatWasExpectedFailAndNeverReplaceTheCopy)
{
    QByteArray content(256 * 1024, Qt::Uninitialized);
    for (int i = 0; i < content.size(); ++i)
        content[i] = char((i * 131) % 251);
    const QByteArray md5 = QCryptographicHash::hash(content, QCryptographicHash::Md5).toHex();
    // The body in gzip, with its checksum broken: Qt hands over the body, then ends with an error.
    const QByteArray zlib = qCompress(content).mid(4);
    QByteArray gzip = QByteArray::fromHex("1f8b0800000000000003") + zlib.mid(2, zlib.size() - 6);
    quint32 crc = 0x12345678, size = quint32(content.size());
    gzip.append(reinterpret_cast<const char*>(&crc), 4).append(reinterpret_cast<const char*>(&size), 4);
    QByteArray changed = content;
    changed[1000] = char(changed[1000] ^ 1);

    Fault answer;
    answer.kind = Fault::Answer;
    answer.method = QStringLiteral("GET");
    answer.pathPattern = QStringLiteral("^/feeds/download/");
    answer.status = 200;
    answer.count = 20; // outlasts every retry
    Fault endless = answer;
    endless.kind = Fault::Stream;
    endless.filler = QByteArray(64 * 1024, 'x');
    Fault trickle = endless;
    trickle.filler = "x";
    trickle.delayMs = 100;

    struct Row
    {
        const char* name;
        Fault fault;
        qint64 errorCode;
    };
    auto with = [](Fault fault, QList<QPair<QByteArray, QByteArray>> headers, QByteArray body) {
        fault.headers = std::move(headers);
        fault.body = std::move(body);
        return fault;
    };
    const Row rows[] = {
        {"gzip body Qt cannot finish", with(answer, {{"Content-Encoding", "gzip"}}, gzip), -1},
        {"shorter than the entry says", with(answer, {}, content.left(1000)),
         kGTMHTTPFetcherErrorBodyMismatch},
        {"other bytes of the same size", with(answer, {}, changed), kGTMHTTPFetcherErrorBodyMismatch},
        {"endless without a length", endless, kGTMHTTPFetcherErrorBodyMismatch},
        {"trickling", trickle, kGTMHTTPFetcherErrorTimeLimit},
    };
    const QUrl source = contentURL(fileDocumentWithContent(content));
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("payload.bin"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        {
            QFile old(target);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("previous copy");
        }
        m_local.clearFaults();
        m_local.addFault(row.fault);
        auto fetcher = m_docs.fetcherWithRequest(m_docs.requestForURL(source));
        fetcher->setDestinationFileURL(QUrl::fromLocalFile(target));
        fetcher->setExpectedBodyLength(content.size());
        fetcher->setExpectedBodyMD5(md5);
        // Only the trickle meets the limit, however slowly the machine runs the others.
        fetcher->setTimeLimit(row.errorCode == kGTMHTTPFetcherErrorTimeLimit ? 1500 : 120000);
        Download download;
        start(fetcher, download);
        EXPECT_EQ(download.error.domain(), kGTMHTTPFetcherErrorDomain);
        if (row.errorCode != -1) {
            EXPECT_EQ(download.error.code(), row.errorCode) << download.error.description().toStdString();
        }
        EXPECT_EQ(readFile(target), QByteArray("previous copy"));
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("payload.bin")});
    }
    m_local.clearFaults();

    // Without faults the same fetch arrives.
    auto fetcher = m_docs.fetcherWithRequest(m_docs.requestForURL(source));
    fetcher->setDestinationFileURL(QUrl::fromLocalFile(target));
    fetcher->setExpectedBodyLength(content.size());
    fetcher->setExpectedBodyMD5(md5);
    Download good;
    start(fetcher, good);
    EXPECT_TRUE(good.error.isNull()) << good.error.description().toStdString();
    EXPECT_EQ(readFile(target), content);
}

TEST_F(GTMHTTPFetcherTest, AnEndlessAnswerKeptInMemoryStopsAtItsLimit)
{
    Fault endless;
    endless.kind = Fault::Stream;
    endless.method = QStringLiteral("GET");
    endless.pathPattern = QStringLiteral("^/feeds/default/private/full");
    endless.status = 200;
    endless.count = 20;
    endless.headers = {{"Content-Type", "application/atom+xml; charset=UTF-8; type=feed"}};
    endless.body = "<?xml version='1.0' encoding='UTF-8'?><feed xmlns='http://www.w3.org/2005/Atom'>";
    endless.filler = QByteArray("<entry><title>again</title></entry>").repeated(2000);
    m_local.addFault(endless);
    // The real limit is the same path; a small one keeps the test from pushing 64 MB through the machine.
    GTMHTTPFetcher::setDefaultMaximumMemoryBodyLength(2 * 1024 * 1024);
    const auto restore = qScopeGuard(
        [] { GTMHTTPFetcher::setDefaultMaximumMemoryBodyLength(GTMHTTPFetcher::kMaximumMemoryBodyBytes); });
    Answer feed;
    ASSERT_TRUE(m_docs.fetchFeedWithURL(GDataEndpoints::docsFeedURL(), recorder(feed)));
    ASSERT_TRUE(wait(feed, 60000));
    EXPECT_FALSE(feed.object);
    EXPECT_EQ(feed.error.domain(), kGTMHTTPFetcherErrorDomain);
    EXPECT_EQ(feed.error.code(), kGTMHTTPFetcherErrorBodyTooLarge) << feed.error.description().toStdString();
    EXPECT_TRUE(feed.error.description().contains(QStringLiteral("2097152")))
        << feed.error.description().toStdString();
}
