#pragma once

#include "LocalService.h"
#include "platform/gdata/OAuth2Authentication.h"
#include "platform/runtime/Error.h"
#include "platform/store/FetchRequest.h"
#include "support/ActionTestSession.h"
#include "support/TempHome.h"

#include <QMap>
#include <QObject>
#include <QStringList>
#include <memory>

namespace tavrel {
class TQMOCMaster;
}

namespace tavrel::test {

// Receives a synchronisation's callback as the session would.
class SyncCallback : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void synchronisationDidFinishWithError(const QVariant& error);

    int calls = 0;
    Error error;
};

// One account: its local service, its authentication and a session over its store.
struct Account
{
    localservice::LocalService service;
    std::shared_ptr<OAuth2Authentication> authentication;
    std::unique_ptr<ActionTestSession> session;

    QString address() const { return service.ownerEmail(); }
    TQMOCMaster* master() const;
};

class ReliabilityTest : public TempHomeTest
{
public:
    static std::shared_ptr<OAuth2Authentication> authenticationFor(const QString& baseUrl,
                                                                   const QString& accessToken,
                                                                   const QString& refreshToken,
                                                                   const QString& address);

protected:
    void SetUp() override;
    void TearDown() override;

    // Generates and starts the account's service; the session is opened by openSession().
    static void startService(Account& account, const localservice::GenerateOptions& options);
    static void openSession(Account& account);
    // The endpoints are process-wide: a run talks to the service of the account it synchronises.
    static void useService(const Account& account);

    // Run a synchronisation and wait for its callback; false when it did not call back in time.
    static bool runFull(Account& account, SyncCallback& callback);
    static bool runFast(Account& account, SyncCallback& callback);

    static qint64 count(TQMOCMaster* master, const QString& entity);
    // Resource ids of the stored documents and collections, sorted (duplicates kept).
    static QStringList storedResourceIds(TQMOCMaster* master);
    // Per resource id, the owner and the sorted "role address" entries of its access list.
    static QMap<QString, QStringList> storedAccess(TQMOCMaster* master);
    static QStringList sorted(QStringList list);
    static QVariant storedChangestamp(const QString& address);
};

} // namespace tavrel::test
