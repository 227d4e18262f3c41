#pragma once

#include "accounts/TQAccount.h"
#include "platform/gdata/OAuth2Authentication.h"

#include <QUrl>
#include <memory>

namespace tavrel::test {

// An account as a sign-in would have left it, without any network.
inline std::shared_ptr<WXAccount> makeTestAccount(const QString& email, bool applicationClass = true)
{
    auto authentication =
        OAuth2Authentication::create(OAuth2Configuration(QUrl(QStringLiteral("http://127.0.0.1:9"))));
    authentication->setKeysForResponseDictionary(
        {{QStringLiteral("access_token"), QStringLiteral("at-") + email},
         {QStringLiteral("refresh_token"), QStringLiteral("rt-") + email},
         {QStringLiteral("expires_in"), 3600},
         {QStringLiteral("token_type"), QStringLiteral("Bearer")}});
    authentication->setUserEmail(email);
    if (applicationClass)
        return std::make_shared<TQAccount>(authentication);
    return std::make_shared<WXAccount>(authentication);
}

} // namespace tavrel::test
