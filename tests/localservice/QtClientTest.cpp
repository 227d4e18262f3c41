#include "LocalServiceFixture.h"
#include "support/WaitUntil.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QOAuth2AuthorizationCodeFlow>
#include <QOAuthHttpServerReplyHandler>
#include <memory>

namespace tavrel::test {
namespace {

// The project's client speaks through Qt's network stack: its defaults (gzip, keep-alive, redirect policy)
// must work with the service as they do with the real one.
class QtClientTest : public LocalServiceFixture
{
protected:
    struct Answer
    {
        int status = 0;
        QNetworkReply::NetworkError error = QNetworkReply::NoError;
        QByteArray body;
        QByteArray range;
        QByteArray location;
    };

    Answer run(const QByteArray& verb, const QString& pathOrUrl, const QByteArray& body = {},
               const QList<QPair<QByteArray, QByteArray>>& headers = {})
    {
        const QString url =
            pathOrUrl.startsWith(QLatin1String("http")) ? pathOrUrl : m_service.baseUrl() + pathOrUrl;
        QNetworkRequest request{QUrl(url)};
        request.setRawHeader("Authorization", "Bearer " + QByteArray::fromStdString(m_token));
        request.setRawHeader("GData-Version", "3");
        for (const auto& [k, v] : headers)
            request.setRawHeader(k, v);
        QNetworkReply* reply = m_manager.sendCustomRequest(request, verb, body);
        std::unique_ptr<QNetworkReply> owner(reply);
        EXPECT_TRUE(waitUntil([&] { return reply->isFinished(); }, 10000));
        Answer a;
        a.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        a.error = reply->error();
        a.body = reply->readAll();
        a.range = reply->rawHeader("Range");
        a.location = reply->rawHeader("Location");
        return a;
    }

    QNetworkAccessManager m_manager;
};

TEST_F(QtClientTest, ReadsPagesAndUploadsInChunks)
{
    generate(700, 5, 0);
    QString next =
        QStringLiteral("/feeds/default/private/expandAcl?max-results=500&showfolders=true&showdeleted=true");
    int entries = 0;
    while (!next.isEmpty()) {
        const Answer a = run("GET", next);
        ASSERT_EQ(a.status, 200);
        auto doc = parse(a.body.toStdString());
        entries += count(doc.child("feed"), "entry");
        next = QString::fromStdString(linkHref(doc.child("feed"), "next"));
    }
    EXPECT_EQ(entries, 705);

    const QByteArray data(5000, 'x');
    const Answer session =
        run("POST", QStringLiteral("/feeds/upload/create-session/default/private/full?convert=false"), {},
            {{"X-Upload-Content-Type", "text/plain"},
             {"X-Upload-Content-Length", "5000"},
             {"Slug", "notes.txt"},
             {"Content-Type", "application/atom+xml"}});
    ASSERT_EQ(session.status, 200);
    const QString location = QString::fromUtf8(session.location);
    const Answer part = run("PUT", location, data.left(2000), {{"Content-Range", "bytes 0-1999/5000"}});
    EXPECT_EQ(part.status, 308) << int(part.error);
    EXPECT_EQ(part.range, QByteArray("bytes=0-1999"));
    const Answer query = run("PUT", location, {}, {{"Content-Range", "bytes */5000"}});
    EXPECT_EQ(query.status, 308);
    EXPECT_EQ(query.range, QByteArray("bytes=0-1999"));
    const Answer last = run("PUT", location, data.mid(2000), {{"Content-Range", "bytes 2000-4999/5000"}});
    ASSERT_EQ(last.status, 201) << last.body.toStdString();
    EXPECT_TRUE(last.body.contains("<docs:size>5000</docs:size>"));
}

TEST_F(QtClientTest, DroppedConnectionsSurfaceAsNetworkErrors)
{
    const QByteArray data(200000, 'x');
    const Answer session =
        run("POST", QStringLiteral("/feeds/upload/create-session/default/private/full?convert=false"), {},
            {{"X-Upload-Content-Type", "text/plain"}, {"X-Upload-Content-Length", "200000"}});
    localservice::Fault drop;
    drop.kind = localservice::Fault::DropAfterBytes;
    drop.method = QStringLiteral("PUT");
    drop.bytes = 1000;
    // Qt sends an idempotent request again on a new connection when the first one closes before any
    // answer, which on a busy machine it sometimes does: every attempt is cut, so the error surfaces.
    drop.count = 3;
    m_service.addFault(drop);
    const Answer cut =
        run("PUT", QString::fromUtf8(session.location), data, {{"Content-Range", "bytes 0-199999/200000"}});
    EXPECT_NE(cut.error, QNetworkReply::NoError) << "Qt does not silently send the chunk again";
    m_service.clearFaults();
    const Answer where =
        run("PUT", QString::fromUtf8(session.location), {}, {{"Content-Range", "bytes */200000"}});
    EXPECT_EQ(where.status, 308);
    EXPECT_EQ(where.range, QByteArray("bytes=0-999"));

    drop.method.clear();
    drop.count = 1;
    drop.bytes = 100;
    m_service.addFault(drop);
    const Answer partial = run("GET", QStringLiteral("/feeds/default/private/full"));
    EXPECT_EQ(partial.error, QNetworkReply::RemoteHostClosedError);
    EXPECT_EQ(partial.body.size(), 100);
}

TEST_F(QtClientTest, QtAuthorisationCodeFlowSignsInAndRefreshes)
{
    m_service.setClientCredentials(QStringLiteral("tavrel-client"), QStringLiteral("s3cret"));
    QOAuth2AuthorizationCodeFlow flow(&m_manager);
    flow.setAuthorizationUrl(QUrl(m_service.baseUrl() + QStringLiteral("/o/oauth2/auth")));
    flow.setAccessTokenUrl(QUrl(m_service.baseUrl() + QStringLiteral("/o/oauth2/token")));
    flow.setClientIdentifier(QStringLiteral("tavrel-client"));
    flow.setClientIdentifierSharedKey(QStringLiteral("s3cret"));
    flow.setScope(QStringLiteral("docs contacts"));
    QOAuthHttpServerReplyHandler handler(0, &flow);
    flow.setReplyHandler(&handler);
    // The "browser": follows the service's redirect to the loopback handler.
    QObject::connect(&flow, &QAbstractOAuth::authorizeWithBrowser, &flow, [this](const QUrl& url) {
        QNetworkRequest request(url);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::NoLessSafeRedirectPolicy);
        QNetworkReply* reply = m_manager.get(request);
        QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
    });
    flow.grant();
    ASSERT_TRUE(waitUntil([&] { return flow.status() == QAbstractOAuth::Status::Granted; }, 10000));
    EXPECT_FALSE(flow.refreshToken().isEmpty());
    m_token = flow.token().toStdString();
    const Answer me = run("GET", QStringLiteral("/oauth2/v1/userinfo"));
    ASSERT_EQ(me.status, 200);
    EXPECT_EQ(QJsonDocument::fromJson(me.body).object().value(QStringLiteral("email")).toString(),
              m_service.ownerEmail());

    m_service.expireAccessTokens();
    EXPECT_EQ(run("GET", QStringLiteral("/feeds/metadata/default")).status, 401);
    const QString old = flow.token();
    flow.refreshAccessToken();
    ASSERT_TRUE(waitUntil(
        [&] { return flow.status() == QAbstractOAuth::Status::Granted && flow.token() != old; }, 10000));
    m_token = flow.token().toStdString();
    EXPECT_EQ(run("GET", QStringLiteral("/feeds/metadata/default")).status, 200);
}

} // namespace
} // namespace tavrel::test
