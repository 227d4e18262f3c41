#include "GDataServiceFixture.h"

#include "platform/gdata/GDataEndpoints.h"

#include <QNetworkAccessManager>
#include <QThread>

namespace tavrel::test {

void GDataServiceFixture::SetUp()
{
    TempHomeTest::SetUp();
    generate(12, 2, 5);
    QString error;
    ASSERT_TRUE(m_local.start(0, &error)) << error.toStdString();
    GDataEndpoints::setServiceBaseURL(QUrl(m_local.baseUrl()));
    m_authorizer = std::make_shared<TestAuthorizer>(GDataEndpoints::OAuthTokenURL(),
                                                    m_local.issueRefreshToken(m_local.ownerEmail()),
                                                    m_local.ownerEmail());
    for (GDataServiceBase* service :
         {static_cast<GDataServiceBase*>(&m_docs), static_cast<GDataServiceBase*>(&m_contacts)}) {
        service->setAuthorizer(m_authorizer);
        service->setServiceRetryBaseInterval(0.01);
        service->setServiceMaxRetryInterval(0.05);
    }
}

void GDataServiceFixture::TearDown()
{
    // Idle keep-alive connections would hold the service's stop until they time out.
    GTMHTTPFetcher::threadNetworkAccessManager()->clearConnectionCache();
    m_local.stop();
    GDataEndpoints::setServiceBaseURL(QUrl());
    TempHomeTest::TearDown();
}

void GDataServiceFixture::generate(int documents, int collections, int contacts)
{
    localservice::GenerateOptions options;
    options.documents = documents;
    options.collections = collections;
    options.contacts = contacts;
    m_local.generate(options);
}

GDataServiceBase::Completion GDataServiceFixture::recorder(Answer& answer)
{
    return [&answer](const GDataServiceTicketPtr& ticket, const GDataObjectPtr& object, const Error& error) {
        answer.done = true;
        ++answer.calls;
        answer.ticket = ticket;
        answer.object = object;
        answer.error = error;
        answer.thread = QThread::currentThreadId();
    };
}

bool GDataServiceFixture::wait(const Answer& answer, int timeoutMs)
{
    return waitUntil([&] { return answer.done; }, timeoutMs);
}

QList<localservice::JournalEntry> GDataServiceFixture::journal() const
{
    QList<localservice::JournalEntry> entries;
    for (const auto& entry : m_local.journal()) {
        if (!entry.path.startsWith(QLatin1String("/o/oauth2/")))
            entries << entry;
    }
    return entries;
}

QUrl GDataServiceFixture::url(const QString& pathAndQuery) const
{
    return QUrl(m_local.baseUrl() + pathAndQuery);
}

} // namespace tavrel::test
