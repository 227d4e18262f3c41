#pragma once

#include "platform/system/Reachability.h"
#include "session/TQSession.h"
#include "support/AccountTest.h"

#include <QObject>
#include <QStringList>
#include <memory>

namespace tavrel::test {

// A connection watcher whose callbacks the test fires.
class SwitchableReachability : public Reachability
{
    Q_OBJECT
public:
    SwitchableReachability() : Reachability(QStringLiteral("127.0.0.1")) {}
    bool startNotifier() override { return true; }
    void stopNotifier() override {}
    NetworkStatus currentReachabilityStatus() const override { return m_status; }
    void report(NetworkStatus status)
    {
        m_status = status;
        reachabilityCallback();
    }

private:
    NetworkStatus m_status = NotReachable;
};

// A recorder of a session's states, in order.
class StateRecorder : public QObject
{
    Q_OBJECT
public:
    explicit StateRecorder(TQSession* session);
    QList<int> states;
};

// A first-synchronisation screen: receives the progress.
class ProgressScreen : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void progressStatus(int status, float processed, quint64 total, float percentage);
    QList<QVariantList> received;
};

// The local service with a small generated account, the application's connection status driven by
// the test (online at start) and the synchronisation intervals shortened.
class SessionTest : public AccountTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // An account of the address, with tokens the service issued.
    std::shared_ptr<WXAccount> makeAccount(const QString& email) { return m_account.accountFor(email); }
    void setOnline(bool online);
    // Runs the session's start and waits until it has left the first synchronisation.
    bool startAndSettle(TQSession& session, int timeoutMs = 10000);
    int storedDocuments(TQSession& session) const;
    // Stops the periodic synchronisation and waits until the session's queues are empty, so that no
    // request is left in flight when the session goes.
    static bool stopSynchronising(TQSession& session);
    // Requests of the method whose path begins with the prefix, in the service's journal.
    int requestCount(const QString& method, const QString& pathPrefix) const
    {
        return int(m_account.requests(method, pathPrefix).size());
    }
    // The paths of the full synchronisation's document list and of the incremental one's changes.
    static inline const QString kDocumentList = QStringLiteral("/feeds/default/private/expandAcl");
    static inline const QString kChanges = QStringLiteral("/feeds/default/private/changes");

    SwitchableReachability* m_reachability = nullptr;
};

} // namespace tavrel::test
