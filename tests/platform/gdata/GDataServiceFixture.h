#pragma once

#include "LocalService.h"
#include "TestAuthorizer.h"
#include "platform/gdata/GDataServiceGoogleContact.h"
#include "platform/gdata/GDataServiceGoogleDocs.h"
#include "support/TempHome.h"
#include "support/WaitUntil.h"

#include <QList>

namespace tavrel::test {

// The local service with a generated account, and a documents and a contacts service signed in to it
// through TestAuthorizer, with fast retries.
class GDataServiceFixture : public TempHomeTest
{
protected:
    struct Answer
    {
        bool done = false;
        int calls = 0;
        GDataServiceTicketPtr ticket;
        GDataObjectPtr object;
        Error error;
        Qt::HANDLE thread = nullptr;
    };

    void SetUp() override;
    void TearDown() override;
    void generate(int documents, int collections = 0, int contacts = 0);

    // A completion recording into `answer`.
    static GDataServiceBase::Completion recorder(Answer& answer);
    static bool wait(const Answer& answer, int timeoutMs = 30000);
    // The requests the service received, without those of the token endpoint.
    QList<localservice::JournalEntry> journal() const;
    // Address of a service path on the local service.
    QUrl url(const QString& pathAndQuery) const;

    localservice::LocalService m_local;
    std::shared_ptr<TestAuthorizer> m_authorizer;
    GDataServiceGoogleDocs m_docs;
    GDataServiceGoogleContact m_contacts;
};

} // namespace tavrel::test
