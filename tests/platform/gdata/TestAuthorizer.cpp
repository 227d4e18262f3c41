#include "TestAuthorizer.h"

#include "platform/gdata/GTMHTTPFetcher.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUrlQuery>

namespace tavrel::test {

TestAuthorizer::TestAuthorizer(QUrl tokenURL, QString refreshToken, QString email)
    : m_tokenURL(std::move(tokenURL)), m_refreshToken(std::move(refreshToken)), m_email(std::move(email))
{}

QString TestAuthorizer::accessToken() const
{
    std::lock_guard lock(m_mutex);
    return m_accessToken;
}

bool TestAuthorizer::canAuthorize() const
{
    return !m_refreshToken.isEmpty();
}

bool TestAuthorizer::authorizeRequestNow(QNetworkRequest* request)
{
    const QString token = accessToken();
    if (token.isEmpty())
        return false;
    request->setRawHeader("Authorization", "Bearer " + token.toUtf8());
    return true;
}

void TestAuthorizer::authorizeRequest(QNetworkRequest* request, Completion done)
{
    if (authorizeRequestNow(request)) {
        done(Error());
        return;
    }
    refreshAccessToken([this, request, done](const Error& error) {
        if (!error && !authorizeRequestNow(request)) {
            done(Error(QStringLiteral("TestAuthorizer"), 1));
            return;
        }
        done(error);
    });
}

void TestAuthorizer::refreshAccessToken(Completion done)
{
    ++m_refreshCount;
    {
        std::lock_guard lock(m_mutex);
        m_accessToken.clear();
    }
    QNetworkRequest request(m_tokenURL);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QStringLiteral("application/x-www-form-urlencoded"));
    QUrlQuery form;
    form.addQueryItem(QStringLiteral("grant_type"), QStringLiteral("refresh_token"));
    form.addQueryItem(QStringLiteral("refresh_token"), m_refreshToken);
    auto fetcher = GTMHTTPFetcher::fetcherWithRequest(request);
    fetcher->setHTTPMethod("POST");
    fetcher->setPostData(form.toString(QUrl::FullyEncoded).toUtf8());
    fetcher->setRetryEnabled(false);
    fetcher->beginFetchWithCompletionHandler(
        [this, done](const GTMHTTPFetcherPtr&, const QByteArray& data, const Error& error) {
            if (error) {
                done(error);
                return;
            }
            const QString token =
                QJsonDocument::fromJson(data).object().value(QStringLiteral("access_token")).toString();
            if (token.isEmpty()) {
                done(Error(QStringLiteral("TestAuthorizer"), 2));
                return;
            }
            {
                std::lock_guard lock(m_mutex);
                m_accessToken = token;
            }
            done(Error());
        });
}

} // namespace tavrel::test
