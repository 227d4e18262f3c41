#pragma once

#include "LocalService.h"
#include "actions/TQSession.h"
#include "platform/system/Reachability.h"
#include "support/TempHome.h"

#include <QObject>
#include <QStringList>
#include <memory>
#include <mutex>

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

// What the synchronisation operations of the test program were asked to do.
struct UpdateRecord
{
    QString className;
    QString username;
    bool shouldSendNotification = false;
    bool delegateIsMaster = false;
};

class UpdateJournal
{
public:
    static UpdateJournal& instance();
    void append(const UpdateRecord& record);
    QList<UpdateRecord> records() const;
    int count(const QString& className) const;
    void clear();
    // The addresses the automatic favourites asked to mark, per request.
    void appendFavorites(const QStringList& addresses, const QVariantMap& parameters);
    QList<QPair<QStringList, QVariantMap>> favorites() const;

private:
    mutable std::mutex m_mutex;
    QList<UpdateRecord> m_records;
    QList<QPair<QStringList, QVariantMap>> m_favorites;
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
class SessionTest : public TempHomeTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // An account of the address, with tokens the service issued.
    std::shared_ptr<WXAccount> makeAccount(const QString& email) const;
    void setOnline(bool online);
    // Runs the session's start and waits until it has left the first synchronisation.
    bool startAndSettle(TQSession& session, int timeoutMs = 10000);
    int storedDocuments(TQSession& session) const;

    localservice::LocalService m_service;
    SwitchableReachability* m_reachability = nullptr;
};

} // namespace tavrel::test
