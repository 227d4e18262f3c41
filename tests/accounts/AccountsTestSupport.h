#pragma once

#include "accounts/TQAccount.h"
#include "support/TestAccount.h"

#include <memory>

namespace tavrel::test {

// An account as a sign-in would have left it, without any network.
inline std::shared_ptr<WXAccount> makeTestAccount(const QString& email, bool applicationClass = true)
{
    auto authentication =
        TestAccount::authenticationFor(QStringLiteral("http://127.0.0.1:9"), QStringLiteral("at-") + email,
                                       QStringLiteral("rt-") + email, email);
    if (applicationClass)
        return std::make_shared<TQAccount>(authentication);
    return std::make_shared<WXAccount>(authentication);
}

} // namespace tavrel::test
