#include "GDataServiceFixture.h"
#include "platform/gdata/GDataConstants.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataEntryContact.h"
#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/gdata/GDataFeedContact.h"
#include "platform/gdata/GDataObjectFactory.h"
#include "platform/gdata/GDataQueryDocs.h"

#include <QDir>
#include <QFile>
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
