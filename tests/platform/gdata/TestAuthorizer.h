#pragma once

#include "platform/gdata/GDataAuthorizer.h"

#include <QString>
#include <QUrl>
#include <atomic>
#include <mutex>

namespace tavrel::test {

// Bearer tokens from the local service's token endpoint, from a refresh token the service issued.
// Counts the refreshes so that tests can tell how many were made.
class TestAuthorizer : public GDataAuthorizer
{
public:
    TestAuthorizer(QUrl tokenURL, QString refreshToken, QString email);

    void authorizeRequest(QNetworkRequest* request, Completion done) override;
    bool authorizeRequestNow(QNetworkRequest* request) override;
    void refreshAccessToken(Completion done) override;
    bool canAuthorize() const override;
    QString userEmail() const override { return m_email; }
    QUrl serviceURL() const override { return m_tokenURL.adjusted(QUrl::RemovePath | QUrl::RemoveQuery); }

    int refreshCount() const { return m_refreshCount; }
    QString accessToken() const;

private:
    QUrl m_tokenURL;
    QString m_refreshToken;
    QString m_email;
    mutable std::mutex m_mutex;
    QString m_accessToken;
    std::atomic<int> m_refreshCount{0};
};

} // namespace tavrel::test
