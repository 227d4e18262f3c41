#pragma once

#include "model/TQMOCMaster.h"
#include "support/AccountTest.h"
#include "support/SyncRecorder.h"

#include <QMap>
#include <QStringList>

namespace tavrel::test {

// Accounts of their own (TestAccount), each with its service; the endpoints follow the account that
// synchronises.
class ReliabilityTest : public AccountTest
{
protected:
    // Run a synchronisation and wait for its callback; false when it did not call back in time.
    static bool runFull(TestAccount& account, SyncRecorder& callback)
    {
        return account.runFull(callback, account.master(), kSynchronisationTimeoutMs);
    }
    static bool runFast(TestAccount& account, SyncRecorder& callback)
    {
        return account.runFast(callback, account.master(), kSynchronisationTimeoutMs);
    }

    // Per resource id, the owner and the sorted "role address" entries of its access list.
    static QMap<QString, QStringList> storedAccess(TQMOCMaster* master);
    static QStringList sorted(QStringList list);

    static constexpr int kSynchronisationTimeoutMs = 60000;
};

} // namespace tavrel::test
