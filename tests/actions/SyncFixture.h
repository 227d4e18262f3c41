#pragma once

#include "LocalService.h"
#include "accounts/TQAccount.h"
#include "platform/gdata/OAuth2Authentication.h"
#include "platform/runtime/Error.h"
#include "platform/store/FetchRequest.h"
#include "session/TQSession.h"
#include "support/ActionTestSession.h"
#include "support/TempHome.h"

#include <QObject>
#include <QStringList>
#include <memory>

namespace tavrel {
class TQMOCMaster;
class TQOperation;
} // namespace tavrel

namespace tavrel::test {

// Stands in for the session as requester of a synchronisation: records progress reports (on its own
// thread) and the callback's error.
class SyncRequester : public QObject
{
    Q_OBJECT
public:
    struct Report
    {
        int status = 0;
        float processed = 0;
        quint64 total = 0;
        float percentage = 0;
    };

    Q_INVOKABLE void progressStatus(int status, float processed, quint64 total, float percentage);
    Q_INVOKABLE void synchronisationDidFinishWithError(const QVariant& error);

    int calls = 0;
    Error error;
    QList<Report> reports;
};

// The local service with a generated account and a session of its owner with an empty store.
class SyncTest : public TempHomeTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    void startService(const localservice::GenerateOptions& options);
    TQMOCMaster* master() const;

    // Run a synchronisation as the session and the master context do, and wait for its callback.
    // False when it did not call back in time.
    bool runFull(SyncRequester& requester, QObject* delegate = nullptr);
    bool runFast(SyncRequester& requester, QObject* delegate = nullptr);
    bool run(const std::shared_ptr<TQOperation>& operation, SyncRequester& requester);

    qint64 count(const QString& entity) const;
    // Resource ids of the stored documents and collections, sorted.
    QStringList storedResourceIds() const;
    // Resource ids the service holds, sorted.
    QStringList serviceResourceIds() const;
    QVariant storedChangestamp() const;
    QList<localservice::JournalEntry> requests(const QString& method, const QString& pathPrefix) const;
    // Makes every later write to the store file fail.
    void breakStoreWrites();
    void repairStoreWrites();

    localservice::LocalService m_service;
    std::shared_ptr<OAuth2Authentication> m_authentication;
    std::unique_ptr<TQSession> m_session;
    QStringList m_triggers;
};

} // namespace tavrel::test
