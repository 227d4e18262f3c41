#pragma once

#include "platform/store/FetchRequest.h"
#include "support/AccountTest.h"
#include "support/SyncRecorder.h"

#include <QStringList>
#include <memory>

namespace tavrel {
class TQMOCMaster;
class TQOperation;
} // namespace tavrel

namespace tavrel::test {

// The local service with a generated account and a session of its owner with an empty store.
class SyncTest : public AccountTest
{
protected:
    void startService(const localservice::GenerateOptions& options) { startAccount(options); }
    TQMOCMaster* master() const { return m_account.master(); }

    // Run a synchronisation as the session and the master context do, and wait for its callback.
    // False when it did not call back in time.
    bool runFull(SyncRecorder& requester, QObject* delegate = nullptr)
    {
        return m_account.runFull(requester, delegate);
    }
    bool runFast(SyncRecorder& requester, QObject* delegate = nullptr)
    {
        return m_account.runFast(requester, delegate);
    }
    bool run(const std::shared_ptr<TQOperation>& operation, SyncRecorder& requester)
    {
        return m_account.run(operation, requester);
    }

    qint64 count(const QString& entity) const { return m_account.count(entity); }
    // Resource ids of the stored documents and collections, sorted.
    QStringList storedResourceIds() const { return m_account.storedResourceIds(); }
    // Resource ids the service holds, sorted.
    QStringList serviceResourceIds() const;
    QVariant storedChangestamp() const { return m_account.storedChangestamp(); }
    QList<localservice::JournalEntry> requests(const QString& method, const QString& pathPrefix) const
    {
        return m_account.requests(method, pathPrefix);
    }
    // Makes every later write to the store file fail.
    void breakStoreWrites();
    void repairStoreWrites();

    QStringList m_triggers;
};

} // namespace tavrel::test
