#pragma once

#include "LocalService.h"
#include "pipeline/TQOperation.h"
#include "platform/gdata/OAuth2Authentication.h"
#include "session/TQSession.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace tavrel {
class TQMOCMaster;
}

namespace tavrel::test {

class SyncRecorder;

// One account as the program holds it, against the local service: the service with the account, an
// authentication from tokens the service issued, and a TQSession of the account over its store in the
// current home. The session is never started: tests and benchmarks run what they need themselves.
// Needs no test framework, so that benchmarks use it too.
class TestAccount
{
public:
    TestAccount() = default;
    ~TestAccount();
    TestAccount(const TestAccount&) = delete;
    TestAccount& operator=(const TestAccount&) = delete;

    // Six documents, one collection and two contacts: enough for most tests of actions and sessions.
    static localservice::GenerateOptions smallAccount();
    // Generates the account and starts the service on a free port; false with the reason when it
    // cannot.
    bool startService(const localservice::GenerateOptions& options, QString* error = nullptr);
    // Points the process-wide service endpoints at this account's service.
    void useService() const;
    // Opens the session of the service's owner with fresh tokens; server errors are retried at once.
    void openSession();
    // Lets hanging requests go, closes the session, then stops the service.
    void close();

    QString address() const { return service.ownerEmail(); }
    TQMOCMaster* master() const;
    DocumentManager* documents() const { return session->documentManager(); }

    // An authentication as a finished sign-in leaves it.
    static std::shared_ptr<OAuth2Authentication> authenticationFor(const QString& baseUrl,
                                                                   const QString& accessToken,
                                                                   const QString& refreshToken,
                                                                   const QString& address);
    // An account of the address with tokens this service issued for it.
    std::shared_ptr<WXAccount> accountFor(const QString& address);

    // Schedules a synchronisation (or any operation) on the session's queues with the recorder as its
    // callback, as the session does, after pointing the endpoints at this service.
    void schedule(const TQOperationPtr& operation, SyncRecorder& recorder);
    // Schedules it and waits for the callback; false when none came in time.
    bool run(const TQOperationPtr& operation, SyncRecorder& recorder, int timeoutMs = 20000);
    // A full synchronisation reporting its progress to the recorder, or an incremental one.
    bool runFull(SyncRecorder& recorder, QObject* delegate = nullptr, int timeoutMs = 20000);
    bool runFast(SyncRecorder& recorder, QObject* delegate = nullptr, int timeoutMs = 20000);

    // Records of the entity in the master context.
    qint64 count(const QString& entity) const;
    // Resource ids of the stored documents and collections, sorted (duplicates kept).
    QStringList storedResourceIds() const;
    // The account's stored largest changestamp; nothing before a synchronisation stored one.
    QVariant storedChangestamp() const;
    // Requests of the method whose path begins with the prefix, in the service's journal.
    QList<localservice::JournalEntry> requests(const QString& method, const QString& pathPrefix) const;

    localservice::LocalService service;
    std::shared_ptr<OAuth2Authentication> authentication;
    std::unique_ptr<TQSession> session;
};

} // namespace tavrel::test
