#pragma once

#include "TempHome.h"
#include "TestAccount.h"

namespace tavrel::test {

// Base of the tests that talk to the local service as an account: a temporary home, a fresh log, and
// m_account, whose service a test starts with startAccount() (or startService() for more accounts).
class AccountTest : public TempHomeTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Generates and starts the account's service, points the endpoints at it and, when asked, opens its
    // session.
    void startAccount(const localservice::GenerateOptions& options, bool withSession = true);
    static void startService(TestAccount& account, const localservice::GenerateOptions& options);

    TestAccount m_account;
};

} // namespace tavrel::test
